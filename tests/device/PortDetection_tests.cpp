// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the ball's adapter: names, numbers, one, two and no adapters, and
// ports read from a sysfs tree.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "device/AdapterDetection.h"
#include "device/PortInfo.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

// Builds /sys/class/tty/NAME with a device link into a USB device tree.
class FakeSysfs {
public:
    void AddUsb(const QString& tty, const QString& vendor, const QString& product,
                const QString& productName) {
        const QString usb = root_.File(QStringLiteral("devices/usb1/1-%1").arg(++usbCount_));
        const QString iface = usb + QStringLiteral("/1-%1:1.0/%2").arg(usbCount_).arg(tty);
        QDir().mkpath(iface);
        Write(usb + QStringLiteral("/idVendor"), vendor);
        Write(usb + QStringLiteral("/idProduct"), product);
        Write(usb + QStringLiteral("/product"), productName);
        Link(iface, tty);
    }
    void AddPlatform(const QString& tty, const QString& driver) {
        const QString dev = root_.File(QStringLiteral("devices/platform/%1").arg(tty));
        const QString drv = root_.File(QStringLiteral("bus/platform/drivers/%1").arg(driver));
        QDir().mkpath(dev);
        QDir().mkpath(drv);
        QFile::link(drv, dev + QStringLiteral("/driver"));
        Link(dev, tty);
    }
    void AddVirtual(const QString& tty) {
        QDir().mkpath(root_.File(QStringLiteral("class/tty/") + tty));
    }
    QString Root() const { return root_.Path(); }

private:
    void Write(const QString& path, const QString& text) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8() + '\n');
    }
    void Link(const QString& device, const QString& tty) {
        const QString dir = root_.File(QStringLiteral("class/tty/") + tty);
        QDir().mkpath(dir);
        QFile::link(device, dir + QStringLiteral("/device"));
    }
    TempDir root_;
    int usbCount_ = 0;
};

PortInfo Port(const QString& friendly, const QString& device = QString()) {
    PortInfo p;
    p.friendlyName = friendly;
    p.devicePath = device;
    return p;
}

}  // namespace

TEST(AdapterPortNumber, ReadsTheNumberAsTheDialogDoes) {
    EXPECT_EQ(AdapterPortNumber(QStringLiteral("Prolific USB-to-Serial Comm Port (COM12)")), 12);
    EXPECT_EQ(AdapterPortNumber(QStringLiteral("Prolific USB-to-Serial Comm Port (COM3)")), 3);
    EXPECT_EQ(AdapterPortNumber(QStringLiteral("Prolific USB-to-Serial Comm Port")), 0);
    EXPECT_EQ(AdapterPortNumber(QStringLiteral("Prolific USB-to-Serial Comm Port (ttyUSB0)")), 0);
}

TEST(DetectAdapter, OneAdapter) {
    RecordingSink sink;
    QStringList statuses;
    const auto found =
        DetectAdapterPort({Port(QStringLiteral("ttyS0 (ttyS0)"), QStringLiteral("/dev/ttyS0")),
                           Port(QStringLiteral("Prolific USB-to-Serial Comm Port (ttyUSB1)"),
                                QStringLiteral("/dev/ttyUSB1"))},
                          &sink, [&](const QString& s) { statuses << s; });
    EXPECT_TRUE(found.portKnown);
    EXPECT_EQ(found.device, QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(statuses, QStringList{QStringLiteral("检测到传送端口!")});
    EXPECT_TRUE(sink.texts.isEmpty());
    EXPECT_EQ(found.friendlyNames.size(), 2);
}

TEST(DetectAdapter, TwoAdaptersKeepTheFirstAndWarnOnce) {
    RecordingSink sink;
    const auto found =
        DetectAdapterPort({Port(QStringLiteral("Prolific USB-to-Serial Comm Port (COM12)"),
                                QStringLiteral("/dev/ttyUSB0")),
                           Port(QStringLiteral("Prolific USB-to-Serial Comm Port (COM4)"),
                                QStringLiteral("/dev/ttyUSB1")),
                           Port(QStringLiteral("Prolific USB-to-Serial Comm Port (COM5)"),
                                QStringLiteral("/dev/ttyUSB2"))},
                          &sink);
    EXPECT_TRUE(found.portKnown);
    EXPECT_EQ(found.portNumber, 12);
    EXPECT_EQ(found.device, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("下载时请拔出其他USB扩展串口！")});
}

TEST(DetectAdapter, NoAdapterAndNameWithoutPort) {
    RecordingSink sink;
    EXPECT_FALSE(DetectAdapterPort({Port(QStringLiteral("FTDI (ttyUSB0)"))}, &sink).portKnown);
    EXPECT_FALSE(DetectAdapterPort({}, &sink).portKnown);
    // Matching is case-sensitive.
    EXPECT_FALSE(
        DetectAdapterPort({Port(QStringLiteral("prolific usb-to-serial comm port (COM1)"))}, &sink)
            .portKnown);
    const auto bare =
        DetectAdapterPort({Port(QStringLiteral("Prolific USB-to-Serial Comm Port"))}, &sink);
    EXPECT_TRUE(bare.portKnown);
    EXPECT_EQ(bare.portNumber, 0);
    EXPECT_TRUE(bare.device.isEmpty());
    EXPECT_TRUE(sink.texts.isEmpty());
    // Without a device path, the name in parentheses names the node.
    EXPECT_EQ(DetectAdapterPort(
                  {Port(QStringLiteral("Prolific USB-to-Serial Comm Port (ttyUSB3)"))}, &sink)
                  .device,
              QStringLiteral("/dev/ttyUSB3"));
}

TEST(Sysfs, AdapterIsNamedFromItsUsbVendor) {
    FakeSysfs sys;
    sys.AddUsb(QStringLiteral("ttyUSB0"), QStringLiteral("067b"), QStringLiteral("2303"),
               QStringLiteral("USB-Serial Controller"));
    sys.AddUsb(QStringLiteral("ttyUSB1"), QStringLiteral("0403"), QStringLiteral("6001"),
               QStringLiteral("FT232R USB UART"));
    sys.AddPlatform(QStringLiteral("ttyS0"), QStringLiteral("serial8250"));
    sys.AddPlatform(QStringLiteral("ttyAMA0"), QStringLiteral("uart-pl011"));
    sys.AddVirtual(QStringLiteral("tty1"));
    const auto raw = SysfsPorts(sys.Root(), QStringLiteral("/dev"));
    ASSERT_EQ(raw.size(), 3u);  // no placeholder UARTs, no virtual terminals
    std::vector<PortInfo> ports;
    EnumeratePorts(ports, false, [&] { return raw; });
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].portName, QStringLiteral("ttyAMA0"));
    EXPECT_EQ(ports[0].friendlyName, QStringLiteral("uart-pl011 (ttyAMA0)"));
    EXPECT_EQ(ports[0].description, QStringLiteral("uart-pl011"));
    EXPECT_FALSE(ports[0].isUsb);
    EXPECT_EQ(ports[1].friendlyName, QStringLiteral("Prolific USB-to-Serial Comm Port (ttyUSB0)"));
    EXPECT_EQ(ports[1].description,
              QStringLiteral("USB-Serial Controller"));  // the USB product string
    EXPECT_EQ(ports[1].devicePath, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_TRUE(ports[1].isUsb);
    EXPECT_EQ(ports[2].friendlyName, QStringLiteral("FT232R USB UART (ttyUSB1)"));
    const auto found = DetectAdapterPort(ports, nullptr);
    EXPECT_TRUE(found.portKnown);
    EXPECT_EQ(found.device, QStringLiteral("/dev/ttyUSB0"));
}

TEST(Sysfs, TwoAndNoAdapters) {
    FakeSysfs two;
    two.AddUsb(QStringLiteral("ttyUSB0"), QStringLiteral("067b"), QStringLiteral("2303"),
               QString());
    two.AddUsb(QStringLiteral("ttyUSB1"), QStringLiteral("067B"), QStringLiteral("23a3"),
               QString());
    std::vector<PortInfo> ports;
    EnumeratePorts(ports, false, [&] { return SysfsPorts(two.Root()); });
    RecordingSink sink;
    EXPECT_EQ(DetectAdapterPort(ports, &sink).device, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(sink.texts.size(), 1);

    FakeSysfs none;
    none.AddPlatform(QStringLiteral("ttyAMA0"), QStringLiteral("uart-pl011"));
    EnumeratePorts(ports, false, [&] { return SysfsPorts(none.Root()); });
    EXPECT_FALSE(DetectAdapterPort(ports, nullptr).portKnown);
    EXPECT_TRUE(SysfsPorts(QStringLiteral("/nonexistent")).empty());
}

TEST(Enumerate, ProbeDropsPortsThatCannotBeOpened) {
    RawPort gone;
    gone.portName = QStringLiteral("ttyUSB9");
    gone.devicePath = QStringLiteral("/dev/glowdeck-missing");
    RawPort null;
    null.portName = QStringLiteral("null");
    null.devicePath = QStringLiteral("/dev/null");
    std::vector<PortInfo> ports;
    EnumeratePorts(ports, false, [&] { return std::vector<RawPort>{gone, null}; });
    EXPECT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].friendlyName, QStringLiteral("ttyUSB9"));  // no name: the port name
    EnumeratePorts(ports, true, [&] { return std::vector<RawPort>{gone, null}; });
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].portName, QStringLiteral("null"));
    EXPECT_EQ(ProbePort(QStringLiteral("/dev/glowdeck-missing")), ENOENT);
}

TEST(Enumerate, DescriptionIsTheSystemsAndDerivedOnlyWhenItHasNone) {
    RawPort adapter;
    adapter.portName = QStringLiteral("ttyUSB0");
    adapter.isUsb = true;
    adapter.vendorId = AdapterVendorId;
    adapter.description = QStringLiteral("USB-Serial Controller D");
    RawPort bare = adapter;
    bare.portName = QStringLiteral("ttyUSB1");
    bare.description.clear();
    std::vector<PortInfo> ports;
    EnumeratePorts(ports, false, [&] { return std::vector<RawPort>{adapter, bare}; });
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].friendlyName, QStringLiteral("Prolific USB-to-Serial Comm Port (ttyUSB0)"));
    EXPECT_EQ(ports[0].description, QStringLiteral("USB-Serial Controller D"));
    EXPECT_EQ(ports[1].description, QStringLiteral("Prolific USB-to-Serial Comm Port"));
}

// A pseudo-terminal stands in for a port another program has open.
class HeldPort : public ::testing::Test {
protected:
    void SetUp() override {
        char name[64] = {};
        ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
        path_ = QString::fromLocal8Bit(name);
        port_.portName = QStringLiteral("pty");
        port_.devicePath = path_;
    }
    void TearDown() override {
        if (holder_ >= 0) ::close(holder_);
        if (slave_ >= 0) ::close(slave_);
        if (master_ >= 0) ::close(master_);
    }
    std::size_t ProbedCount() {
        std::vector<PortInfo> ports;
        EnumeratePorts(ports, true, [&] { return std::vector<RawPort>{port_}; });
        return ports.size();
    }
    int master_ = -1, slave_ = -1, holder_ = -1;
    QString path_;
    RawPort port_;
};

TEST_F(HeldPort, ProbeDropsPortsThatCannotBeOpenedExclusively) {
    EXPECT_EQ(ProbedCount(), 1u);  // free: kept, and the probe leaves it free
    // Another Glowdeck holds the node's lock.
    holder_ = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder_, 0);
    ASSERT_EQ(::flock(holder_, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(ProbePort(path_), EBUSY);
    EXPECT_EQ(ProbedCount(), 0u);
    ::close(holder_);
    holder_ = -1;
    EXPECT_EQ(ProbedCount(), 1u);
    // Another program has made the port exclusive (root may still open it).
    ASSERT_EQ(::ioctl(slave_, TIOCEXCL), 0);
    EXPECT_EQ(ProbedCount(), 0u);
}
