// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port on pseudo-terminals: raw bytes, exclusivity, configuration
// failures, closing under a write, which devices it opens.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "device/SerialPort.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

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

TEST(SerialPort, CloseClearsTheExclusiveModeWhileTheOtherEndStaysOpen) {
    // Checked on the flag itself: root opens an exclusive terminal anyway,
    // an ordinary user gets EBUSY until the flag is cleared.
    Pty pty;
    CSerialPort port;
    ASSERT_EQ(port.Open(pty.path, 57600, 'N', 8, 1, 512), 1);
    int exclusive = 0;
    ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
    EXPECT_NE(exclusive, 0);
    port.Close();
    ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}

TEST(PortKinds, SerialPortsAndPseudoTerminalsOnly) {
    auto facts = [](unsigned major, unsigned minor, bool terminal, bool serialInfo = false,
                    bool deviceLink = false, bool console = false) {
        DeviceFacts f;
        f.characterDevice = true;
        f.major = major;
        f.minor = minor;
        f.terminal = terminal;
        f.serialInfo = serialInfo;
        f.deviceLink = deviceLink;
        f.console = console;
        return f;
    };
    const struct {
        const char* what;
        DeviceFacts facts;
        PortKind kind;
        bool refusedUnopened;  // refused before the node is opened
    } cases[] = {
        {"ttyUSB0", facts(188, 0, true, true, true), PortKind::SerialPort, false},
        {"ttyACM0 without TIOCGSERIAL", facts(166, 0, true, false, true), PortKind::SerialPort,
         false},
        {"ttyS1", facts(4, 65, true, true, true), PortKind::SerialPort, false},
        {"ttyS0, the kernel's console", facts(4, 64, true, true, true, true), PortKind::Console,
         true},
        {"/dev/pts/3", facts(136, 3, true), PortKind::PseudoTerminal, false},
        {"tty0", facts(4, 0, false), PortKind::Console, true},
        {"tty1", facts(4, 1, true), PortKind::Console, true},
        {"/dev/tty", facts(5, 0, false), PortKind::Console, true},
        {"/dev/console", facts(5, 1, false), PortKind::Console, true},
        {"/dev/ptmx", facts(5, 2, false), PortKind::OtherTerminal, true},
        {"hvc0, no serial driver", facts(229, 0, true), PortKind::OtherTerminal, false},
        {"/dev/null", facts(1, 3, false), PortKind::NotATerminal, false},
        {"a file or FIFO", DeviceFacts{}, PortKind::NotATerminal, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyPort(c.facts), c.kind) << c.what;
        EXPECT_EQ(RefusedBeforeOpening(c.facts), c.refusedUnopened) << c.what;
        EXPECT_EQ(RefusalText(QStringLiteral("X"), c.kind).isEmpty(), MaySendTo(c.kind)) << c.what;
    }
}

TEST(PortKinds, AConsoleIsRefusedUntouched) {
    Pty console;
    termios before{};
    ASSERT_EQ(::tcgetattr(console.slave, &before), 0);
    struct stat st {};
    ASSERT_EQ(::stat(console.path.toLocal8Bit().constData(), &st), 0);
    // A fake /proc/consoles naming the pseudo-terminal.
    TempDir dir;
    TerminalSources sources;
    sources.consoles = dir.Write("consoles", QStringLiteral("ttyS0 -W- (EC  p a) %1:%2\n")
                                                 .arg(::major(st.st_rdev))
                                                 .arg(::minor(st.st_rdev))
                                                 .toLatin1());
    RecordingSink sink;
    CSerialPort port(&sink, sources);
    EXPECT_EQ(port.Open(console.path, 57600, 'N', 8, 1, 512), 0);
    EXPECT_EQ(port.RefusedAs(), PortKind::Console);
    EXPECT_EQ(port.OpenError(), RefusalText(console.path, PortKind::Console));
    EXPECT_TRUE(sink.texts.isEmpty());
    // Its settings were not touched and it was not made exclusive.
    termios after{};
    ASSERT_EQ(::tcgetattr(console.slave, &after), 0);
    EXPECT_EQ(::memcmp(&before, &after, sizeof before), 0);
    int exclusive = 0;
    ASSERT_EQ(::ioctl(console.slave, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    // When it is no console, it is a line.
    EXPECT_EQ(CSerialPort(&sink).Open(console.path, 57600, 'N', 8, 1, 512), 1);
}
