// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

namespace glowdeck {

// A file built beside its final path and put in place in one step.
//
// Open creates a uniquely named temporary file in the target's folder
// ("<name>.<pid>-<random>.tmp"); Append writes to it and checks every write;
// Commit syncs it to disk, closes it (checking the close too), renames it over
// the target and syncs the folder so the rename survives a power cut. Until
// Commit succeeds the target is untouched; any failure removes the temporary
// file and says why (the path and the system's reason) in `error`.
class CAtomicFile {
public:
    explicit CAtomicFile(QString target);
    ~CAtomicFile();  // discards an uncommitted temporary file
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // A file that can be made again (a cache entry) skips the syncs: it is
    // still never seen half-written, but may be lost in a power cut.
    void SetDurable(bool durable) { durable_ = durable; }

    [[nodiscard]] bool Open(QString* error);
    [[nodiscard]] bool Append(const QByteArray& data, QString* error);
    [[nodiscard]] bool Commit(QString* error);
    void Discard();

    const QString& Target() const { return target_; }
    // The system's error number of the last failed Open (0 when none).
    int SystemError() const { return openError_; }
    // The temporary file while open; other writers may append to it by path.
    const QString& TemporaryPath() const { return temporary_; }

private:
    bool Fail(const QString& what, int error, QString* message);

    QString target_;
    QString temporary_;
    int fd_ = -1;
    int openError_ = 0;
    bool durable_ = true;
};

// Replaces `path` with `data` through a CAtomicFile.
[[nodiscard]] bool WriteFileAtomically(const QString& path, const QByteArray& data,
                                       QString* error = nullptr);
// Copies the regular file `from` to `to` through a CAtomicFile, as long as
// `from` was when it was opened (CRegularFile: a FIFO or a device is refused).
[[nodiscard]] bool CopyFileAtomically(const QString& from, const QString& to,
                                      QString* error = nullptr);

// Removes temporary files that writers of `target` left behind when they were
// killed ("<name>.*.tmp" beside it). Call only while no other writer of the
// target can run (the project lock is held).
void RemoveStaleTemporaries(const QString& target);
// The same for every target in `folder`.
void RemoveStaleTemporariesIn(const QString& folder);

// "PATH: reason" for an errno value.
QString SystemErrorText(const QString& path, int error);

}  // namespace glowdeck
