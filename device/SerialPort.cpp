// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "base/MessageSink.h"

namespace glowdeck {

namespace {

speed_t SpeedFor(int baud) {
    switch (baud) {
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return 0;  // no standard terminal speed (14400, 128000, ...)
    }
}

// Modem-control calls fail with ENOTTY or EINVAL on lines that have no such
// lines at all (pseudo-terminals): that is not an error.
bool NoModemLines(int error) { return error == ENOTTY || error == EINVAL; }

using Clock = std::chrono::steady_clock;

// The longest single wait inside a write, so that Close is noticed soon.
constexpr auto kWaitSlice = std::chrono::milliseconds(50);

int SliceUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp(left, std::chrono::milliseconds(0), kWaitSlice).count());
}

}  // namespace

CSerialPort::~CSerialPort() { Close(); }

QString CSerialPort::ErrorText(const QString& step, int error, const QString& device) {
    return ErrorText(step, QString::fromLocal8Bit(std::strerror(error)), device);
}

QString CSerialPort::ErrorText(const QString& step, const QString& reason, const QString& device) {
    return QStringLiteral("WARNING:  %1 Failed with the following error: \n%2\nPort: %3\n")
        .arg(step, reason, device);
}

QString CSerialPort::TimeoutReason(std::chrono::milliseconds deadline) {
    return QCoreApplication::translate(
               "SerialPort", "写入超时：%1 秒内数据没有送出（另一端没有接收数据），发送停止。")
        .arg(static_cast<double>(deadline.count()) / 1000.0, 0, 'f', 1);
}

std::chrono::milliseconds CSerialPort::WriteDeadlineFor(int baud, int bitsPerByte, int bytes) {
    // The block's time on the line, four times over for a slow adapter, and
    // two seconds for a busy machine: a line that takes nothing for that
    // long has stopped.
    const long long lineMs =
        baud > 0 ? (1000LL * std::max(bytes, 0) * bitsPerByte + baud - 1) / baud : 0;
    return std::chrono::milliseconds(2000 + 4 * lineMs);
}

void CSerialPort::ReportError(const char* step, int error) {
    if (messages_)
        messages_->Show(ErrorText(QString::fromLatin1(step), error, device_),
                        QStringLiteral("Application Error"), IMessageSink::Icon::Error);
}

void CSerialPort::Configure(int fd, int baud, char parity, int dataBits, int stopBits) {
    // Each step that fails is reported once and the later steps are skipped;
    // the port stays open, as the line may still work.
    // Writes never block: Write waits for room itself, up to its deadline
    // (the write time-outs' role).
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0)
        return ReportError("SetCommTimeouts()", errno);
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return ReportError("GetCommState()", errno);
    // Line definition: raw bytes, baud, parity, data and stop bits, no flow control.
    const speed_t speed = SpeedFor(baud);
    const bool parityOk = parity == 'N' || parity == 'E' || parity == 'O';
    if (speed == 0 || !parityOk || dataBits < 5 || dataBits > 8 || (stopBits != 1 && stopBits != 2))
        return ReportError("BuildCommDCB()", EINVAL);
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, speed);
    ::cfsetospeed(&settings, speed);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag |= dataBits == 5 ? CS5 : dataBits == 6 ? CS6 : dataBits == 7 ? CS7 : CS8;
    if (parity != 'N') settings.c_cflag |= PARENB | (parity == 'O' ? PARODD : 0);
    if (stopBits == 2) settings.c_cflag |= CSTOPB;
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 10;
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) return ReportError("SetCommState()", errno);
    // RTS held asserted.
    const int rts = TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIS, &rts) != 0 && !NoModemLines(errno))
        return ReportError("SetCommState()", errno);
}

int CSerialPort::Open(const QString& device, int baud, char parity, int dataBits, int stopBits,
                      int bufferSize) {
    txBuffer_.assign(static_cast<size_t>(std::max(bufferSize, 0)), 0);
    Close();
    device_ = device;
    openError_.clear();
    openErrno_ = 0;
    refusedAs_.reset();
    baud_ = baud;
    bitsPerByte_ =
        1 + std::clamp(dataBits, 5, 8) + (parity == 'N' ? 0 : 1) + (stopBits == 2 ? 2 : 1);

    const QByteArray path = device.toLocal8Bit();
    int fd = -1;
    auto failOpen = [&](int error) {
        openErrno_ = error;
        openError_ = QString::fromLocal8Bit(std::strerror(error));
        if (fd >= 0) ::close(fd);
        return 0;
    };
    auto refuse = [&](PortKind kind) {
        refusedAs_ = kind;
        failOpen(ENOTTY);
        openError_ = RefusalText(device, kind);
        return 0;
    };
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return failOpen(errno);
    // Consoles and nodes that are no line are refused before they are opened.
    const DeviceFacts named = FactsOf(device, -1, sources_);
    if (RefusedBeforeOpening(named)) return refuse(ClassifyPort(named));

    // Open the device node for writing and reading, exclusively.
    fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failOpen(errno);
    // What was opened decides, in case the path changed meanwhile.
    const PortKind kind = ClassifyPort(FactsOf(device, fd, sources_));
    if (!MaySendTo(kind)) return refuse(kind);
    // TIOCEXCL keeps other programs out (root is not kept out by it); the
    // advisory lock also keeps a second Glowdeck out, root or not.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return failOpen(errno == EWOULDBLOCK ? EBUSY : errno);
    if (::ioctl(fd, TIOCEXCL) != 0) return failOpen(errno);
    fd_ = fd;

    Configure(fd, baud, parity, dataBits, stopBits);
    ::tcflush(fd, TCIOFLUSH);
    return 1;
}

int CSerialPort::WaitWritable(int fd, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (closing_) return ECANCELED;
        if (Clock::now() >= deadline) return ETIMEDOUT;
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, SliceUntil(deadline));
        if (ready < 0 && errno != EINTR) return errno;
        // Room, or a hang-up or error that the next write reports.
        if (ready > 0) return 0;
    }
}

int CSerialPort::WaitDrained(int fd, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        int queued = 0;
        // A driver that does not count its queue is left to tcdrain.
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) break;
        if (Clock::now() >= deadline) return ETIMEDOUT;
        // About the time the queued bytes take on the line.
        const long long lineMs = 1000LL * queued * bitsPerByte_ / std::max(baud_, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(
            std::clamp<long long>(lineMs, 1, std::max(SliceUntil(deadline), 1))));
    }
    // Only the adapter's own small buffer is left: tcdrain returns soon.
    if (::tcdrain(fd) != 0 && errno != EINTR && !NoModemLines(errno)) return errno;
    return 0;
}

bool CSerialPort::Write(const std::uint8_t* bytes, int length) {
    std::lock_guard<std::timed_mutex> lock(writing_);
    const int fd = fd_.load();
    const int n = std::clamp(length, 0, static_cast<int>(txBuffer_.size()));
    if (n > 0) std::memcpy(txBuffer_.data(), bytes, static_cast<size_t>(n));
    txLength_ = n;
    const std::chrono::milliseconds allowed =
        fixedDeadline_.count() > 0 ? fixedDeadline_ : WriteDeadlineFor(baud_, bitsPerByte_, n);
    int error = 0;
    if (fd < 0 || closing_) {
        error = EBADF;  // closed, or being closed: blocks after it fail as on a closed port
    } else {
        // Purge before the block. The previous block has left the wire
        // (WaitDrained below), so only input can be waiting; output is not
        // flushed, as on a pseudo-terminal that would drop bytes the other
        // end has not read yet.
        ::tcflush(fd, TCIFLUSH);
        const auto deadline = Clock::now() + allowed;
        int done = 0;
        while (error == 0 && done < txLength_) {
            const ssize_t written =
                ::write(fd, txBuffer_.data() + done, static_cast<size_t>(txLength_ - done));
            if (written >= 0)
                done += static_cast<int>(written);
            else if (errno == EAGAIN)
                error = WaitWritable(fd, deadline);
            else if (errno != EINTR)
                error = errno;
        }
        // Return only when the block has left the wire, so the pauses after
        // it are pauses on the line.
        if (error == 0) error = WaitDrained(fd, deadline);
        // What is still queued of a block that missed its deadline is dropped:
        // the transfer stops here, and the close must not wait for it.
        if (error == ETIMEDOUT) ::tcflush(fd, TCOFLUSH);
    }
    if (error == 0) return true;
    if (messages_) {
        if (error == ETIMEDOUT) {
            messages_->Show(
                ErrorText(QStringLiteral("WriteFile()"), TimeoutReason(allowed), device_),
                QStringLiteral("Application Error"), IMessageSink::Icon::Error);
            return false;
        }
        messages_->Show(QStringLiteral("error code=%1").arg(error), QStringLiteral("Orbilux"),
                        IMessageSink::Icon::Warning);
        if (error != EAGAIN) ReportError("WriteFile()", error);
    }
    return false;
}

bool CSerialPort::LineUp() const {
    const int fd = fd_.load();
    if (fd < 0) return false;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, 0) < 0) return false;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

void CSerialPort::Close() {
    const int fd = fd_.load();
    if (fd < 0) return;
    // Let a block in progress leave the wire. One that waits for room gives
    // up at once: that line has stopped taking bytes. Should the block still
    // hold on after two seconds, its output is discarded so the close goes on.
    closing_ = true;
    if (!writing_.try_lock_for(std::chrono::seconds(2))) {
        ::tcflush(fd, TCOFLUSH);
        writing_.lock();
    }
    if (fd_.load() >= 0) {
        ::tcflush(fd, TCIOFLUSH);
        // The exclusive mode outlives this handle while the other end (or
        // any other handle) keeps the terminal open: clear it, or nobody but
        // root can open the port again.
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        fd_ = -1;
    }
    closing_ = false;
    writing_.unlock();
}

}  // namespace glowdeck
