// The serial port on pseudo-terminals: raw bytes, exclusivity, configuration
// failures, closing under a write, write deadlines, which devices it opens.
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
#include <future>
#include <thread>

#include "device/SendController.h"
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

namespace {

// Writes 255-byte blocks into `port` until one fails or `limit` blocks went
// out; the pseudo-terminal's reader never reads. Gives up after a minute by
// closing the reader's end, which ends a write that would block for ever.
struct StalledWrite {
    int blocksWritten = -1;
    bool failed = false;
};
StalledWrite WriteIntoStalledReader(CSerialPort& port, Pty& pty, int limit) {
    auto writes = std::async(std::launch::async, [&] {
        StalledWrite result;
        const std::vector<std::uint8_t> block(255, 0x5A);
        for (result.blocksWritten = 0; result.blocksWritten < limit; ++result.blocksWritten)
            if (!port.Write(block.data(), 255)) {
                result.failed = true;
                break;
            }
        return result;
    });
    if (writes.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "a write into a reader that stopped never ended";
        ::close(pty.master);
        pty.master = -1;
    }
    return writes.get();
}

}  // namespace

TEST(SerialPortDeadline, AWriteIntoAReaderThatStoppedFailsWithItsReason) {
    Pty pty;  // the master end stays open and is never read: ~18 KB fit
    RecordingSink sink;
    CSerialPort port(&sink);
    ASSERT_EQ(port.Open(pty.path, 57600, 'N', 8, 1, 512), 1);
    port.SetWriteDeadline(std::chrono::milliseconds(200));
    const StalledWrite stalled = WriteIntoStalledReader(port, pty, 400);  // 100 KB
    EXPECT_TRUE(stalled.failed);
    EXPECT_GT(stalled.blocksWritten, 10);  // the buffer took the first blocks
    ASSERT_EQ(sink.texts.size(), 1) << sink.texts.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(sink.texts[0],
              CSerialPort::ErrorText(QStringLiteral("WriteFile()"),
                                     CSerialPort::TimeoutReason(std::chrono::milliseconds(200)),
                                     pty.path));
    EXPECT_TRUE(sink.texts[0].contains(QStringLiteral("写入超时")));
    // The port closes at once and opens again.
    port.Close();
    EXPECT_EQ(port.Open(pty.path, 57600, 'N', 8, 1, 512), 1);
}

TEST(SerialPortDeadline, DerivedFromBaudAndBlockSizeAFewSeconds) {
    using std::chrono::milliseconds;
    const milliseconds packet = CSerialPort::WriteDeadlineFor(57600, 10, 255);
    EXPECT_GE(packet, milliseconds(2000));
    EXPECT_LE(packet, milliseconds(5000));
    // A slower line or a longer block gets longer.
    EXPECT_GT(CSerialPort::WriteDeadlineFor(9600, 10, 255), packet);
    EXPECT_GT(CSerialPort::WriteDeadlineFor(57600, 10, 512), packet);
}

TEST(SerialPortDeadline, ASendIntoAReaderThatStoppedEndsAsFailed) {
    Pty pty;
    TempDir dir;
    RecordingSink sink;
    CSerialPort port(&sink);
    ASSERT_EQ(port.Open(pty.path, 57600, 'N', 8, 1, 512), 1);
    port.SetWriteDeadline(std::chrono::milliseconds(200));
    std::vector<QString> statuses;
    std::vector<bool> passes;
    SendEvents events;
    events.status = [&](const QString& s) { statuses.push_back(s); };
    events.passEnded = [&](int, bool completed) { passes.push_back(completed); };
    CSendController controller(port, sink, events, [](int) {});
    controller.sendFilePath = dir.Write("data.bin", QByteArray(249 * 200, 'x'));  // ~50 KB
    ASSERT_TRUE(controller.PressSend({1, 0}));
    controller.Worker().Wait();
    while (!controller.Tick()) {
    }
    ASSERT_TRUE(controller.StartDataPhase());
    auto ended = std::async(std::launch::async, [&] { controller.Worker().Wait(); });
    if (ended.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "the send never ended";
        ::close(pty.master);
        pty.master = -1;
    }
    ended.get();
    EXPECT_FALSE(controller.Worker().EndWritten());
    EXPECT_EQ(passes, (std::vector<bool>{true, false}));
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), QStringLiteral("发送失败！"));
    ASSERT_EQ(sink.texts.size(), 1);
    EXPECT_TRUE(sink.texts[0].contains(QStringLiteral("写入超时")));
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
        {"/dev/pts/300000", facts(143, 255, true), PortKind::PseudoTerminal, false},
        {"tty0", facts(4, 0, false), PortKind::Console, true},
        {"tty1", facts(4, 1, true), PortKind::Console, true},
        {"tty63", facts(4, 63, true), PortKind::Console, true},
        {"/dev/tty", facts(5, 0, false), PortKind::Console, true},
        {"/dev/console", facts(5, 1, false), PortKind::Console, true},
        {"/dev/ptmx", facts(5, 2, false), PortKind::OtherTerminal, true},
        {"/dev/ttyprintk", facts(5, 3, true), PortKind::OtherTerminal, true},
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

TEST(PortKinds, RefusedDevicesAreLeftUntouched) {
    TempDir dir;
    Pty console, other;
    termios before{};
    ASSERT_EQ(::tcgetattr(console.slave, &before), 0);
    struct stat st {};
    ASSERT_EQ(::stat(console.path.toLocal8Bit().constData(), &st), 0);
    // A fake /proc/consoles naming the first pseudo-terminal.
    TerminalSources sources;
    sources.consoles =
        dir.Write("consoles", QStringLiteral("ttyS0                -W- (EC  p a)    %1:%2\n")
                                  .arg(::major(st.st_rdev))
                                  .arg(::minor(st.st_rdev))
                                  .toLatin1());
    const QString fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const struct {
        QString device;
        PortKind kind;
    } cases[] = {
        {console.path, PortKind::Console},
        {QStringLiteral("/dev/tty"), PortKind::Console},
        {QStringLiteral("/dev/ptmx"), PortKind::OtherTerminal},
        {QStringLiteral("/dev/null"), PortKind::NotATerminal},
        {fifo, PortKind::NotATerminal},
        {dir.Write("data.bin", "x"), PortKind::NotATerminal},
    };
    RecordingSink sink;
    for (const auto& c : cases) {
        CSerialPort port(&sink, sources);
        EXPECT_EQ(port.Open(c.device, 57600, 'N', 8, 1, 512), 0) << c.device.toStdString();
        EXPECT_EQ(port.RefusedAs(), c.kind) << c.device.toStdString();
        EXPECT_EQ(port.OpenErrno(), ENOTTY);
        EXPECT_EQ(port.OpenError(), RefusalText(c.device, c.kind));
    }
    EXPECT_TRUE(sink.texts.isEmpty());
    // The console's settings were not touched and nothing reached it.
    termios after{};
    ASSERT_EQ(::tcgetattr(console.slave, &after), 0);
    EXPECT_EQ(::memcmp(&before, &after, sizeof before), 0);
    int exclusive = 0;
    ASSERT_EQ(::ioctl(console.slave, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    // The same pseudo-terminal is a line when it is no console, and so is another.
    CSerialPort line(&sink);
    EXPECT_EQ(line.Open(console.path, 57600, 'N', 8, 1, 512), 1);
    CSerialPort second(&sink, sources);
    EXPECT_EQ(second.Open(other.path, 57600, 'N', 8, 1, 512), 1);
    EXPECT_FALSE(second.RefusedAs().has_value());
}
