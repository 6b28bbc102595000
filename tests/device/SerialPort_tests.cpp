// The serial port on pseudo-terminals: raw bytes, exclusivity, configuration
// failures, closing under a write.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <thread>

#include "device/SerialPort.h"
#include "support/RecordingSink.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

// A pseudo-terminal pair; the test reads what the port writes from the master.
struct Pty {
    Pty() {
        char name[256] = {};
        termios raw{};
        ::cfmakeraw(&raw);
        EXPECT_EQ(::openpty(&master, &slave, name, &raw, nullptr), 0);
        path = QString::fromLocal8Bit(name);
    }
    ~Pty() {
        if (slave >= 0) ::close(slave);
        if (master >= 0) ::close(master);
    }
    QByteArray ReadAll(int expected) {
        QByteArray got;
        while (got.size() < expected) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0) break;
            char buffer[1024];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, static_cast<int>(n));
        }
        return got;
    }
    int master = -1, slave = -1;
    QString path;
};

}  // namespace

TEST(SerialPort, EveryByteValuePassesUnchanged) {
    Pty pty;
    RecordingSink sink;
    CSerialPort port(&sink);
    ASSERT_EQ(port.Open(pty.path, 57600, 'N', 8, 1, 512), 1);
    EXPECT_TRUE(sink.texts.isEmpty()) << sink.texts.join(QLatin1Char('\n')).toStdString();
    std::vector<std::uint8_t> all(256);
    for (int k = 0; k < 256; ++k) all[k] = static_cast<std::uint8_t>(k);
    ASSERT_TRUE(port.Write(all.data(), 256 > 512 ? 512 : 256));
    const std::uint8_t special[] = {0x0A, 0x0D, 0x11, 0x13, 0x03, 0xFF, 0x0D, 0x0A};
    ASSERT_TRUE(port.Write(special, sizeof special));
    const QByteArray got = pty.ReadAll(256 + 8);
    ASSERT_EQ(got.size(), 264);
    for (int k = 0; k < 256; ++k) ASSERT_EQ(static_cast<unsigned char>(got[k]), k);
    EXPECT_EQ(got.mid(256), QByteArray(reinterpret_cast<const char*>(special), 8));
    termios settings{};
    ASSERT_EQ(::tcgetattr(pty.slave, &settings), 0);
    EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B57600));
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(settings.c_iflag & (IXON | IXOFF));
}

TEST(SerialPort, MissingDeviceReturnsZeroWithoutAMessage) {
    RecordingSink sink;
    CSerialPort port(&sink);
    EXPECT_EQ(port.Open(QStringLiteral("/dev/glowdeck-no-such-port"), 57600, 'N', 8, 1, 512), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.OpenErrno(), ENOENT);
    EXPECT_EQ(port.Open(QStringLiteral("/etc/hostname"), 57600, 'N', 8, 1, 512),
              0);  // not a terminal
    EXPECT_TRUE(sink.texts.isEmpty());
    port.Close();  // closing a port that is not open is harmless
}

TEST(SerialPort, SecondOpenerIsKeptOutEvenAsRoot) {
    Pty pty;
    CSerialPort first, second;
    ASSERT_EQ(first.Open(pty.path, 57600, 'N', 8, 1, 512), 1);
    EXPECT_EQ(second.Open(pty.path, 57600, 'N', 8, 1, 512), 0);
    EXPECT_EQ(second.OpenErrno(), EBUSY);
    first.Close();
    EXPECT_EQ(second.Open(pty.path, 57600, 'N', 8, 1, 512), 1);
}

TEST(SerialPort, ReopeningThroughTheSameObjectClosesTheOldHandle) {
    Pty a, b;
    CSerialPort port;
    ASSERT_EQ(port.Open(a.path, 57600, 'N', 8, 1, 512), 1);
    ASSERT_EQ(port.Open(b.path, 57600, 'N', 8, 1, 512), 1);
    CSerialPort other;
    EXPECT_EQ(other.Open(a.path, 57600, 'N', 8, 1, 512), 1);  // a was released
}

TEST(SerialPort, ConfigurationFailureIsReportedOnceAndThePortStaysOpen) {
    Pty pty;
    RecordingSink sink;
    CSerialPort port(&sink);
    EXPECT_EQ(port.Open(pty.path, 128000, 'N', 8, 1, 512), 1);  // no such terminal speed
    ASSERT_EQ(sink.texts.size(), 1);
    EXPECT_TRUE(sink.texts[0].startsWith(
        QStringLiteral("WARNING:  BuildCommDCB() Failed with the following error: \n")));
    EXPECT_TRUE(sink.texts[0].endsWith(QStringLiteral("\nPort: ") + pty.path + QLatin1Char('\n')));
    EXPECT_EQ(sink.captions[0], QStringLiteral("Application Error"));
    EXPECT_TRUE(port.IsOpen());
}

TEST(SerialPort, WritesAfterTheLineHungUpFailWithTheirMessages) {
    auto* pty = new Pty;
    RecordingSink sink;
    CSerialPort port(&sink);
    ASSERT_EQ(port.Open(pty->path, 57600, 'N', 8, 1, 512), 1);
    EXPECT_TRUE(port.LineUp());
    delete pty;  // both ends of the pseudo-terminal go away: a pulled cable
    EXPECT_FALSE(port.LineUp());
    const std::uint8_t block[] = {1, 2, 3};
    EXPECT_FALSE(port.Write(block, 3));
    ASSERT_EQ(sink.texts.size(), 2);
    EXPECT_TRUE(sink.texts[0].startsWith(QStringLiteral("error code=")));
    EXPECT_TRUE(sink.texts[1].contains(QStringLiteral("WriteFile()")));
    const std::uint8_t none[] = {0};
    CSerialPort closed(&sink);
    EXPECT_FALSE(closed.Write(none, 0));
}

TEST(SerialPort, ZeroByteWriteStillPurgesAndCloseWaitsForAWrite) {
    Pty pty;
    CSerialPort port;
    ASSERT_EQ(port.Open(pty.path, 57600, 'N', 8, 1, 512), 1);
    const std::uint8_t none[] = {0};
    EXPECT_TRUE(port.Write(none, 0));
    std::vector<std::uint8_t> block(255, 0x5A);
    std::thread writer([&] {
        for (int k = 0; k < 200; ++k) port.Write(block.data(), 255);
    });
    std::thread reader([&] { pty.ReadAll(255 * 200); });
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    port.Close();  // never under a block in progress; later writes fail cleanly
    writer.join();
    EXPECT_FALSE(port.IsOpen());
    ::close(pty.master);
    pty.master = -1;
    reader.join();
}
