// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProjectLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace glowdeck {

namespace {

QString LockPath(const QString& folder) {
    return folder + QLatin1Char('/') + CProjectLock::FileName();
}

QString CleanFolder(const QString& folder) { return QDir::cleanPath(QDir(folder).absolutePath()); }

QString HolderText(const CProjectLock::Holder& holder) {
    const QString program = holder.program.isEmpty()
                                ? QCoreApplication::translate("ProjectLock", "另一个程序")
                                : holder.program;
    return holder.pid > 0 ? QCoreApplication::translate("ProjectLock", "%1（进程 %2）")
                                .arg(program)
                                .arg(holder.pid)
                          : program;
}

QString Unusable(const QString& lockPath, const QString& reason) {
    return QCoreApplication::translate("ProjectLock", "项目锁文件无法使用，项目不能修改：%1（%2）")
        .arg(QDir::toNativeSeparators(lockPath), reason);
}

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString NotAFile() { return QCoreApplication::translate("ProjectLock", "不是普通文件"); }

// Opening never follows a link, never waits on a pipe and never makes a
// terminal ours; what was opened must still be checked with fstat.
constexpr int kOpenFlags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

CProjectLock::Holder ParseHolder(const QByteArray& text) {
    CProjectLock::Holder holder;
    const QList<QByteArray> words = text.simplified().split(' ');
    if (!words.isEmpty()) holder.pid = words[0].toLong();
    if (words.size() > 1) holder.program = QString::fromUtf8(words[1]);
    return holder;
}

CProjectLock::Holder ReadHolderFrom(int fd) {
    char buffer[256];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    return ParseHolder(QByteArray(buffer, n > 0 ? static_cast<int>(n) : 0));
}

// The holder line at its fixed width, so that it covers whatever an earlier
// holder wrote without the file ever being truncated.
QByteArray HolderLine(const QString& text) {
    QByteArray line = text.toUtf8().left(CProjectLock::HolderLineBytes - 1);
    line.append(CProjectLock::HolderLineBytes - 1 - line.size(), ' ');
    line.append('\n');
    return line;
}

void WriteHolderLine(int fd, const QString& text) {
    // Best effort: a full disk may refuse even these few bytes; the lock holds anyway.
    const QByteArray line = HolderLine(text);
    [[maybe_unused]] const ssize_t written =
        ::pwrite(fd, line.constData(), static_cast<size_t>(line.size()), 0);
}

}  // namespace

CProjectLock::~CProjectLock() { Release(); }

CProjectLock::CProjectLock(CProjectLock&& other) noexcept
    : fd_(other.fd_),
      writesHolder_(other.writesHolder_),
      leftovers_(other.leftovers_),
      folder_(std::move(other.folder_)) {
    other.fd_ = -1;
    other.writesHolder_ = false;
    other.folder_.clear();
}

CProjectLock& CProjectLock::operator=(CProjectLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        writesHolder_ = other.writesHolder_;
        leftovers_ = other.leftovers_;
        folder_ = std::move(other.folder_);
        other.fd_ = -1;
        other.writesHolder_ = false;
        other.folder_.clear();
    }
    return *this;
}

CProjectLock::Holder CProjectLock::ReadHolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(LockPath(CleanFolder(folder)));
    const int fd = ::open(path.constData(), O_RDONLY | kOpenFlags);
    if (fd < 0) return {};
    struct stat info {};
    const Holder holder =
        ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? ReadHolderFrom(fd) : Holder{};
    ::close(fd);
    return holder;
}

bool CProjectLock::Acquire(const QString& folder, const QString& program, int waitMs,
                           QString* why) {
    Release();
    const QString clean = CleanFolder(folder);
    const QString lockPath = LockPath(clean);
    const QByteArray path = QFile::encodeName(lockPath);
    auto refuse = [&](int fd, const QString& reason) {
        if (fd >= 0) ::close(fd);
        if (why) *why = Unusable(lockPath, reason);
        return false;
    };
    // A link, pipe, folder or device under the lock file's name is refused
    // before it is opened (opening a device may already do something); the
    // check after opening catches one put there in between.
    struct stat info {};
    if (::lstat(path.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return refuse(-1, NotAFile());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | kOpenFlags, 0666);
    if (fd < 0) {
        const int error = errno;
        return refuse(-1, error == ELOOP ? NotAFile() : SystemReason(error));
    }
    if (::fstat(fd, &info) != 0) return refuse(fd, SystemReason(errno));
    if (!S_ISREG(info.st_mode)) return refuse(fd, NotAFile());
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, waitMs));
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
        // Locks unsupported here (some network file systems), or no memory
        // for one: a project that cannot be locked cannot be changed.
        if (errno != EWOULDBLOCK && errno != EINTR) return refuse(fd, SystemReason(errno));
        const Holder holder = ReadHolderFrom(fd);
        const bool desktopHolds = holder.program == DesktopProgram();
        if (desktopHolds && program != DesktopProgram()) {
            ::close(fd);
            if (why)
                *why = QCoreApplication::translate(
                           "ProjectLock",
                           "项目已在桌面程序 Glowdeck 中打开（%1），请先在桌面程序中关闭它：\n%2")
                           .arg(HolderText(holder), clean);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            if (why) {
                *why = program == DesktopProgram()
                           ? QCoreApplication::translate("ProjectLock",
                                                         "项目正被 %1 修改，请稍后再打开：\n%2")
                                 .arg(HolderText(holder), clean)
                           : QCoreApplication::translate(
                                 "ProjectLock", "项目正被 %1 使用，等待 %2 秒后仍未释放：\n%3")
                                 .arg(HolderText(holder))
                                 .arg(waitMs / 1000.0, 0, 'f', 1)
                                 .arg(clean);
            }
            return false;
        }
        QThread::msleep(20);
    }
    // A file with other names may be one outside the project: its bytes are
    // not ours to write.
    writesHolder_ = info.st_nlink == 1;
    // A holder that released the lock blanked its line; one that was killed
    // left it, and maybe half-written files with it.
    char previous[CProjectLock::HolderLineBytes];
    const ssize_t n = ::pread(fd, previous, sizeof previous, 0);
    leftovers_ = !writesHolder_ || n < 0 ||
                 !std::all_of(previous, previous + n, [](char c) { return c == ' ' || c == '\n'; });
    if (writesHolder_)
        WriteHolderLine(
            fd, QStringLiteral("%1 %2").arg(static_cast<qlonglong>(::getpid())).arg(program));
    fd_ = fd;
    folder_ = clean;
    return true;
}

void CProjectLock::FolderMoved(const QString& folder) {
    if (fd_ >= 0) folder_ = CleanFolder(folder);
}

void CProjectLock::Release() {
    if (fd_ >= 0) {
        // Clear the holder first so nobody is named after we are gone.
        if (writesHolder_) WriteHolderLine(fd_, QString());
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
    fd_ = -1;
    writesHolder_ = false;
    leftovers_ = true;
    folder_.clear();
}

}  // namespace glowdeck
