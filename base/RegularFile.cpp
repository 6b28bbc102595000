// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace glowdeck {

namespace {

QString ErrnoText(int error) {
    if (error == ENOENT) return QStringLiteral("no such file");
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a file of this type and size cannot be read whole; empty when it can.
QString Problem(const struct stat& st, qint64 maxBytes) {
    const char* kind = nullptr;
    if (S_ISFIFO(st.st_mode))
        kind = "a named pipe (FIFO)";
    else if (S_ISCHR(st.st_mode))
        kind = "a character device";
    else if (S_ISBLK(st.st_mode))
        kind = "a block device";
    else if (S_ISSOCK(st.st_mode))
        kind = "a socket";
    else if (S_ISDIR(st.st_mode))
        kind = "a folder";
    else if (!S_ISREG(st.st_mode))
        kind = "a special file";
    if (kind) return QStringLiteral("%1, not a regular file").arg(QLatin1String(kind));
    if (st.st_size > maxBytes)
        return QStringLiteral("%1 bytes, more than the %2 bytes such a file can have")
            .arg(static_cast<qint64>(st.st_size))
            .arg(maxBytes);
    return QString();
}

bool Refuse(QString* reason, const QString& why) {
    if (reason) *reason = why;
    return false;
}

}  // namespace

CRegularFile::~CRegularFile() { Close(); }

void CRegularFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
}

int CRegularFile::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool CRegularFile::Open(const QString& path, qint64 maxBytes, QString* reason) {
    Close();
    const QByteArray native = QFile::encodeName(path);
    // Look before opening: opening a device can itself act (a serial port
    // raises its modem lines), and a FIFO is better left alone.
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) return Refuse(reason, ErrnoText(errno));
    if (const QString problem = Problem(st, maxBytes); !problem.isEmpty())
        return Refuse(reason, problem);
    // The file may be swapped between the look and the open: the opened file
    // is checked again, and O_NONBLOCK keeps a FIFO put there from blocking.
    int fd;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Refuse(reason, ErrnoText(errno));
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return Refuse(reason, ErrnoText(error));
    }
    if (const QString problem = Problem(st, maxBytes); !problem.isEmpty()) {
        ::close(fd);
        return Refuse(reason, problem);
    }
    fd_ = fd;
    size_ = static_cast<qint64>(st.st_size);
    return true;
}

qint64 CRegularFile::Read(char* buffer, qint64 maxBytes, QString* reason) {
    int error = EBADF;
    while (fd_ >= 0) {
        const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(maxBytes));
        if (n >= 0) return n;
        error = errno;
        if (error != EINTR) break;
    }
    Refuse(reason, ErrnoText(error));
    return -1;
}

bool CRegularFile::ReadAll(char* buffer, QString* reason) {
    qint64 done = 0;
    while (done < size_) {
        const qint64 n = Read(buffer + done, size_ - done, reason);
        if (n < 0) return false;
        if (n == 0)
            return Refuse(reason, QStringLiteral("the file became shorter while it was read"));
        done += n;
    }
    return true;
}

std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes, QString* reason) {
    CRegularFile file;
    if (!file.Open(path, maxBytes, reason)) return std::nullopt;
    QByteArray data(file.Size(), Qt::Uninitialized);
    if (!file.ReadAll(data.data(), reason)) return std::nullopt;
    return data;
}

}  // namespace glowdeck
