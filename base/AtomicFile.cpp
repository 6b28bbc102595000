// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include "base/RegularFile.h"

namespace glowdeck {

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// Syncs the folder entry of a rename; folders that cannot be opened or synced
// (some network and FUSE file systems) are left as they are.
void SyncFolder(const QString& folder) {
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

QString SystemErrorText(const QString& path, int error) {
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                        QString::fromLocal8Bit(std::strerror(error)));
}

CAtomicFile::CAtomicFile(QString target) : target_(std::move(target)) {}

CAtomicFile::~CAtomicFile() { Discard(); }

bool CAtomicFile::Fail(const QString& what, int error, QString* message) {
    if (message) *message = what.isEmpty() ? SystemErrorText(target_, error) : what;
    Discard();
    return false;
}

bool CAtomicFile::Open(QString* error) {
    Discard();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString candidate =
            QStringLiteral("%1.%2-%3.tmp")
                .arg(target_)
                .arg(::getpid())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        fd_ = ::open(Native(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            openError_ = 0;
            temporary_ = candidate;
            return true;
        }
        openError_ = errno;
        if (errno != EEXIST) return Fail(SystemErrorText(candidate, openError_), openError_, error);
    }
    return Fail(QString(), EEXIST, error);
}

bool CAtomicFile::Append(const QByteArray& data, QString* error) {
    if (fd_ < 0) return Fail(QString(), EBADF, error);
    const char* p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail(SystemErrorText(temporary_, n < 0 ? errno : ENOSPC), 0, error);
        p += n;
        left -= n;
    }
    return true;
}

bool CAtomicFile::Commit(QString* error) {
    if (fd_ < 0) return Fail(QString(), EBADF, error);
    // Data written by other handles to the temporary file is synced too.
    if (durable_ && ::fsync(fd_) != 0) return Fail(SystemErrorText(temporary_, errno), 0, error);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail(SystemErrorText(temporary_, errno), 0, error);
    if (::rename(Native(temporary_).constData(), Native(target_).constData()) != 0)
        return Fail(SystemErrorText(target_, errno), 0, error);
    temporary_.clear();
    if (durable_) SyncFolder(QFileInfo(target_).absolutePath());
    return true;
}

void CAtomicFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty()) ::unlink(Native(temporary_).constData());
    temporary_.clear();
}

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    CAtomicFile file(path);
    return file.Open(error) && file.Append(data, error) && file.Commit(error);
}

bool CopyFileAtomically(const QString& from, const QString& to, QString* error) {
    // Copied in pieces, exactly as long as the source was when it was opened;
    // a FIFO or a device as the source is refused, not read without end.
    CRegularFile source;
    QString why;
    auto fail = [&] {
        if (error) *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(from), why);
        return false;
    };
    if (!source.Open(from, std::numeric_limits<qint64>::max(), &why)) return fail();
    CAtomicFile target(to);
    if (!target.Open(error)) return false;
    QByteArray piece(static_cast<qsizetype>(std::min<qint64>(source.Size(), 1 << 20)),
                     Qt::Uninitialized);
    for (qint64 left = source.Size(); left > 0;) {
        const qint64 n = source.Read(piece.data(), std::min<qint64>(left, piece.size()), &why);
        if (n < 0) return fail();
        if (n == 0) {
            why = QStringLiteral("the file became shorter while it was copied");
            return fail();
        }
        if (!target.Append(QByteArray::fromRawData(piece.constData(), n), error)) return false;
        left -= n;
    }
    return target.Commit(error);
}

namespace {

// "<name>.<pid>-<8 hex digits>.tmp", as CAtomicFile::Open names them. The
// folder is opened without following a link and its entries are removed
// relative to it, so a folder replaced by a link to somewhere else loses
// nothing there.
void RemoveMatching(const QString& folder, const QString& namePattern) {
    static const QString suffix = QStringLiteral("\\.[0-9]+-[0-9a-f]{8}\\.tmp");
    const QRegularExpression name(QRegularExpression::anchoredPattern(namePattern + suffix));
    const int fd = ::open(QFile::encodeName(QDir::cleanPath(folder)).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    std::vector<QByteArray> stale;
    while (const dirent* entry = ::readdir(dir)) {
        // Most entries are images: they are passed over on their bytes, with
        // no string made of each.
        const size_t length = std::strlen(entry->d_name);
        if (length < 4 || std::memcmp(entry->d_name + length - 4, ".tmp", 4) != 0) continue;
        const QByteArray raw(entry->d_name, static_cast<qsizetype>(length));
        if (!name.match(QFile::decodeName(raw)).hasMatch()) continue;
        struct stat st {};
        if (::fstatat(fd, raw.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            stale.push_back(raw);
    }
    for (const QByteArray& raw : stale) ::unlinkat(fd, raw.constData(), 0);
    ::closedir(dir);  // closes fd too
}

}  // namespace

void RemoveStaleTemporaries(const QString& target) {
    const QFileInfo info(target);
    RemoveMatching(info.absolutePath(), QRegularExpression::escape(info.fileName()));
}

void RemoveStaleTemporariesIn(const QString& folder) {
    RemoveMatching(folder, QStringLiteral(".+"));
}

}  // namespace glowdeck
