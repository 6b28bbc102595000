#include "device/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

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

}  // namespace

CSerialPort::~CSerialPort() { Close(); }

QString CSerialPort::ErrorText(const QString& step, int error, const QString& device) {
    return QStringLiteral("WARNING:  %1 Failed with the following error: \n%2\nPort: %3\n")
        .arg(step, QString::fromLocal8Bit(std::strerror(error)), device);
}

void CSerialPort::ReportError(const char* step, int error) {
    if (messages_)
        messages_->Show(ErrorText(QString::fromLatin1(step), error, device_),
                        QStringLiteral("Application Error"), IMessageSink::Icon::Error);
}

void CSerialPort::Configure(int fd, int baud, char parity, int dataBits, int stopBits) {
    // Each step that fails is reported once and the later steps are skipped;
    // the port stays open, as the line may still work.
    // Writes block until the bytes are queued (the write time-outs' role).
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
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

    // Open the device node for writing and reading, exclusively.
    const QByteArray path = device.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    auto failOpen = [&](int error) {
        openErrno_ = error;
        openError_ = QString::fromLocal8Bit(std::strerror(error));
        if (fd >= 0) ::close(fd);
        return 0;
    };
    if (fd < 0) return failOpen(errno);
    if (!isatty(fd)) return failOpen(ENOTTY);
    // TIOCEXCL keeps other programs out (root is not kept out by it); the
    // advisory lock also keeps a second Glowdeck out, root or not.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return failOpen(errno == EWOULDBLOCK ? EBUSY : errno);
    if (::ioctl(fd, TIOCEXCL) != 0) return failOpen(errno);
    fd_ = fd;

    Configure(fd, baud, parity, dataBits, stopBits);
    ::tcflush(fd, TCIOFLUSH);
    return 1;
}

bool CSerialPort::Write(const std::uint8_t* bytes, int length) {
    std::lock_guard<std::timed_mutex> lock(writing_);
    const int fd = fd_.load();
    const int n = std::clamp(length, 0, static_cast<int>(txBuffer_.size()));
    if (n > 0) std::memcpy(txBuffer_.data(), bytes, static_cast<size_t>(n));
    txLength_ = n;
    int error = 0;
    if (fd < 0) {
        error = EBADF;
    } else {
        // Purge before the block. The previous block has left the wire
        // (tcdrain below), so only input can be waiting; output is not
        // flushed, as on a pseudo-terminal that would drop bytes the other
        // end has not read yet.
        ::tcflush(fd, TCIFLUSH);
        int done = 0;
        while (done < txLength_) {
            const ssize_t written =
                ::write(fd, txBuffer_.data() + done, static_cast<size_t>(txLength_ - done));
            if (written < 0) {
                if (errno == EINTR) continue;
                error = errno;
                break;
            }
            done += static_cast<int>(written);
        }
        // Return only when the block has left the wire, so the purge before
        // the next block never cuts this one.
        if (error == 0 && ::tcdrain(fd) != 0 && errno != EINTR && !NoModemLines(errno))
            error = errno;
    }
    if (error == 0) return true;
    if (messages_) {
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
    // Let a block in progress finish; a line that does not drain within two
    // seconds (a hung adapter) has its output discarded so the close goes on.
    if (!writing_.try_lock_for(std::chrono::seconds(2))) {
        ::tcflush(fd, TCOFLUSH);
        writing_.lock();
    }
    if (fd_.load() >= 0) {
        ::tcflush(fd, TCIOFLUSH);
        ::close(fd);
        fd_ = -1;
    }
    writing_.unlock();
}

}  // namespace glowdeck
