// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

namespace glowdeck {

// A file opened for reading that is known to be a regular file of a bounded
// size. Opening never blocks: a named pipe without a writer, a terminal or a
// device is recognised by its type and refused before anything is read, so a
// FIFO or /dev/zero in place of a project or settings file cannot hang the
// program or make it read without end.
class CRegularFile {
public:
    CRegularFile() = default;
    ~CRegularFile();
    CRegularFile(const CRegularFile&) = delete;
    CRegularFile& operator=(const CRegularFile&) = delete;

    // Opens `path` (symbolic links are followed) and checks what was opened.
    // Refused, with `reason` saying why (without the path): a missing file
    // ("no such file"), anything that is not a regular file (naming what it
    // is), and a file larger than `maxBytes`.
    bool Open(const QString& path, qint64 maxBytes, QString* reason);
    // The size the file had when it was opened.
    qint64 Size() const { return size_; }
    // Reads up to `maxBytes` into `buffer`; 0 at the end. -1 and `reason` on an error.
    qint64 Read(char* buffer, qint64 maxBytes, QString* reason);
    // Reads exactly Size() bytes: bytes appended later are not read, and a
    // file that became shorter is an error.
    bool ReadAll(char* buffer, QString* reason);
    // Gives up the open descriptor to the caller (-1 when none is open).
    int Release();
    void Close();

private:
    int fd_ = -1;
    qint64 size_ = 0;
};

// The whole content of `path` as CRegularFile opens and reads it; nothing and
// `reason` when it is missing, not a regular file, larger than `maxBytes` or
// cannot be read.
std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes, QString* reason);

}  // namespace glowdeck
