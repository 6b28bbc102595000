#pragma once
#include <QString>

namespace glowdeck {

// Who may change a project: one program at a time holds an exclusive lock
// (flock) on ".glowdeck.lock" in the project folder and writes its process id
// and program name into it, so a refused program can say who holds it.
// The system drops the lock when the holder exits or is killed, so a lock is
// never left behind.
class CProjectLock {
public:
    // The program names written into the lock file.
    static QString DesktopProgram() { return QStringLiteral("glowdeck"); }
    static QString CommandLineProgram() { return QStringLiteral("glowdeck-cli"); }
    static QString FileName() { return QStringLiteral(".glowdeck.lock"); }

    CProjectLock() = default;
    ~CProjectLock();
    CProjectLock(const CProjectLock&) = delete;
    CProjectLock& operator=(const CProjectLock&) = delete;
    CProjectLock(CProjectLock&& other) noexcept;
    CProjectLock& operator=(CProjectLock&& other) noexcept;

    // Takes the lock of `folder` for `program`. While another command-line
    // run holds it, waits up to `waitMs` for it; a project open in the
    // desktop program is refused at once unless `program` is the desktop
    // program itself (then `waitMs` applies too). False with `why` set (the
    // holder named) when the lock was not taken. A folder where no lock file
    // can be made (read-only media) is opened without a lock: nothing can be
    // written there either.
    bool Acquire(const QString& folder, const QString& program, int waitMs, QString* why);
    void Release();

    bool Held() const { return fd_ >= 0 || unlockable_; }
    // The folder this lock is held for (clean absolute path), empty when none.
    const QString& Folder() const { return folder_; }

    // The holder written in `folder`'s lock file: program name and process id
    // (0 when not known).
    struct Holder {
        QString program;
        long pid = 0;
    };
    static Holder ReadHolder(const QString& folder);

private:
    int fd_ = -1;
    bool unlockable_ = false;
    QString folder_;
};

}  // namespace glowdeck
