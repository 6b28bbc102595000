#include "model/ProjectLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <chrono>

namespace glowdeck {

namespace {

QString LockPath(const QString& folder) {
    return folder + QLatin1Char('/') + CProjectLock::FileName();
}

QString CleanFolder(const QString& folder) { return QDir::cleanPath(QDir(folder).absolutePath()); }

QString HolderText(const CProjectLock::Holder& holder) {
    const QString program =
        holder.program.isEmpty() ? QStringLiteral("另一个程序") : holder.program;
    return holder.pid > 0 ? QStringLiteral("%1（进程 %2）").arg(program).arg(holder.pid) : program;
}

}  // namespace

CProjectLock::~CProjectLock() { Release(); }

CProjectLock::CProjectLock(CProjectLock&& other) noexcept
    : fd_(other.fd_), unlockable_(other.unlockable_), folder_(std::move(other.folder_)) {
    other.fd_ = -1;
    other.unlockable_ = false;
    other.folder_.clear();
}

CProjectLock& CProjectLock::operator=(CProjectLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        unlockable_ = other.unlockable_;
        folder_ = std::move(other.folder_);
        other.fd_ = -1;
        other.unlockable_ = false;
        other.folder_.clear();
    }
    return *this;
}

CProjectLock::Holder CProjectLock::ReadHolder(const QString& folder) {
    Holder holder;
    QFile file(LockPath(CleanFolder(folder)));
    if (!file.open(QIODevice::ReadOnly)) return holder;
    const QList<QByteArray> words = file.read(256).simplified().split(' ');
    if (!words.isEmpty()) holder.pid = words[0].toLong();
    if (words.size() > 1) holder.program = QString::fromUtf8(words[1]);
    return holder;
}

bool CProjectLock::Acquire(const QString& folder, const QString& program, int waitMs,
                           QString* why) {
    Release();
    const QString clean = CleanFolder(folder);
    const QByteArray path = QFile::encodeName(LockPath(clean));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EACCES || errno == EROFS || errno == EPERM || errno == ENOENT ||
            errno == ENOTDIR) {
            unlockable_ = true;
            folder_ = clean;
            return true;
        }
        if (why) *why = QStringLiteral("无法建立项目锁文件：%1").arg(QString::fromLocal8Bit(path));
        return false;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, waitMs));
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            // Locks unsupported here (some network file systems): go on unlocked.
            ::close(fd);
            unlockable_ = true;
            folder_ = clean;
            return true;
        }
        const Holder holder = ReadHolder(clean);
        const bool desktopHolds = holder.program == DesktopProgram();
        if (desktopHolds && program != DesktopProgram()) {
            ::close(fd);
            if (why)
                *why = QStringLiteral(
                           "项目已在桌面程序 Glowdeck 中打开（%1），请先在桌面程序中关闭它：\n%2")
                           .arg(HolderText(holder), clean);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            if (why) {
                *why = program == DesktopProgram()
                           ? QStringLiteral("项目正被 %1 修改，请稍后再打开：\n%2")
                                 .arg(HolderText(holder), clean)
                           : QStringLiteral("项目正被 %1 使用，等待 %2 秒后仍未释放：\n%3")
                                 .arg(HolderText(holder))
                                 .arg(waitMs / 1000.0, 0, 'f', 1)
                                 .arg(clean);
            }
            return false;
        }
        QThread::msleep(20);
    }
    // Best effort: a full disk may refuse even these few bytes; the lock holds anyway.
    const QByteArray line =
        QByteArray::number(static_cast<qlonglong>(::getpid())) + ' ' + program.toUtf8() + '\n';
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written =
            ::pwrite(fd, line.constData(), static_cast<size_t>(line.size()), 0);
    }
    fd_ = fd;
    folder_ = clean;
    return true;
}

void CProjectLock::Release() {
    if (fd_ >= 0) {
        // Clear the holder first so nobody is named after we are gone.
        if (::ftruncate(fd_, 0) != 0) {
        }
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
    fd_ = -1;
    unlockable_ = false;
    folder_.clear();
}

}  // namespace glowdeck
