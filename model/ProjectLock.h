// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace glowdeck {

// Who may change a project: one program at a time holds an exclusive lock
// (flock) on ".glowdeck.lock" in the project folder and writes its process id
// and program name into it, so a refused program can say who holds it.
// The system drops the lock when the holder exits or is killed, so a lock is
// never left behind.
//
// The lock file is only ever a plain file of the project: it is opened
// without following a symbolic link, anything else standing under its name
// (a link, a pipe, a folder, a device) is refused, and it is never
// truncated: the holder line is written over its first bytes at a fixed
// width. A lock file that has other names too (a hard link) is locked but
// left unwritten, since its bytes may belong to a file elsewhere.
class CProjectLock {
public:
    // The program names written into the lock file.
    static QString DesktopProgram() { return QStringLiteral("glowdeck"); }
    static QString CommandLineProgram() { return QStringLiteral("glowdeck-cli"); }
    static QString FileName() { return QStringLiteral(".glowdeck.lock"); }
    // Bytes of the holder line, padded with spaces and ending in a newline.
    static constexpr int HolderLineBytes = 64;

    CProjectLock() = default;
    ~CProjectLock();
    CProjectLock(const CProjectLock&) = delete;
    CProjectLock& operator=(const CProjectLock&) = delete;
    CProjectLock(CProjectLock&& other) noexcept;
    CProjectLock& operator=(CProjectLock&& other) noexcept;

    // Takes the lock of `folder` for `program`. While another command-line
    // run holds it, waits up to `waitMs` for it; a project open in the
    // desktop program is refused at once unless `program` is the desktop
    // program itself (then `waitMs` applies too). False with `why` set when
    // the lock was not taken: the holder named, or the lock file and the
    // reason it cannot be used (no permission, a read-only file system,
    // locks unsupported, not a plain file). A project that cannot be locked
    // must not be changed.
    bool Acquire(const QString& folder, const QString& program, int waitMs, QString* why);
    void Release();

    bool Held() const { return fd_ >= 0; }
    // Whether an earlier holder may have left half-written files in the
    // project: it was killed holding the lock (its line is still there), or
    // that cannot be told (a lock file with other names). False after
    // LeftoversRemoved, and when the last holder released the lock.
    bool MayHaveLeftovers() const { return leftovers_; }
    void LeftoversRemoved() { leftovers_ = false; }
    // The folder this lock is held for (clean absolute path), empty when none.
    const QString& Folder() const { return folder_; }
    // The held lock's folder was renamed to `folder` (the lock stays on the
    // same file).
    void FolderMoved(const QString& folder);

    // The holder written in `folder`'s lock file: program name and process id
    // (0 when not known).
    struct Holder {
        QString program;
        long pid = 0;
    };
    static Holder ReadHolder(const QString& folder);

private:
    int fd_ = -1;
    bool writesHolder_ = false;
    bool leftovers_ = true;
    QString folder_;
};

}  // namespace glowdeck
