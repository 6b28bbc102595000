// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/PortInfo.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <cerrno>

namespace glowdeck {

namespace {

QString ReadLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readLine()).trimmed();
}

// USB details of a tty: walk up from its device to the USB device that has
// vendor and product ids.
void FillUsb(RawPort& port, const QString& deviceDir) {
    QDir dir(deviceDir);
    for (int level = 0; level < 8 && !dir.isRoot(); ++level) {
        if (QFileInfo::exists(dir.filePath(QStringLiteral("idVendor")))) {
            bool ok = false;
            port.vendorId = static_cast<std::uint16_t>(
                ReadLine(dir.filePath(QStringLiteral("idVendor"))).toUInt(&ok, 16));
            port.productId = static_cast<std::uint16_t>(
                ReadLine(dir.filePath(QStringLiteral("idProduct"))).toUInt(nullptr, 16));
            port.isUsb = ok;
            const QString product = ReadLine(dir.filePath(QStringLiteral("product")));
            if (!product.isEmpty()) port.description = product;
            port.manufacturer = ReadLine(dir.filePath(QStringLiteral("manufacturer")));
            return;
        }
        if (!dir.cdUp()) return;
    }
}

}  // namespace

std::vector<RawPort> SysfsPorts(const QString& sysRoot, const QString& devRoot) {
    std::vector<RawPort> ports;
    const QDir classDir(sysRoot + QStringLiteral("/class/tty"));
    QStringList names = classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    names.sort();
    for (const QString& name : names) {
        const QFileInfo device(classDir.filePath(name + QStringLiteral("/device")));
        if (!device.exists()) continue;  // virtual terminals have no device
        const QString deviceDir = device.canonicalFilePath();
        const QString driver =
            QFileInfo(QFileInfo(deviceDir + QStringLiteral("/driver")).canonicalFilePath())
                .fileName();
        // The legacy UART driver registers placeholders for ports that may not exist.
        if (driver == QLatin1String("serial8250") && name.startsWith(QLatin1String("ttyS")))
            continue;
        RawPort port;
        port.portName = name;
        port.devicePath = devRoot + QLatin1Char('/') + name;
        port.description = driver;
        FillUsb(port, deviceDir);
        ports.push_back(port);
    }
    return ports;
}

std::vector<RawPort> SystemPorts() {
    std::vector<RawPort> ports;
    const std::vector<RawPort> sysfs = SysfsPorts();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        RawPort port;
        port.portName = info.portName();
        port.devicePath = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier()) {
            port.isUsb = true;
            port.vendorId = info.vendorIdentifier();
            port.productId = info.productIdentifier();
        } else {
            for (const RawPort& s : sysfs)
                if (s.portName == port.portName) {
                    port.isUsb = s.isUsb;
                    port.vendorId = s.vendorId;
                    port.productId = s.productId;
                    if (port.description.isEmpty()) port.description = s.description;
                    if (port.manufacturer.isEmpty()) port.manufacturer = s.manufacturer;
                }
        }
        ports.push_back(port);
    }
    return ports;
}

QString FriendlyNameFor(const RawPort& port) {
    if (port.isUsb && port.vendorId == AdapterVendorId)
        return QStringLiteral("Prolific USB-to-Serial Comm Port (%1)").arg(port.portName);
    if (!port.description.isEmpty())
        return QStringLiteral("%1 (%2)").arg(port.description, port.portName);
    return QString();
}

QString PortLabel(const RawPort& port) {
    QString label = port.devicePath;
    if (port.isUsb)
        label += QStringLiteral("  %1:%2")
                     .arg(port.vendorId, 4, 16, QLatin1Char('0'))
                     .arg(port.productId, 4, 16, QLatin1Char('0'));
    QString name = port.description;
    if (!port.manufacturer.isEmpty() && !name.contains(port.manufacturer))
        name = name.isEmpty() ? port.manufacturer
                              : QStringLiteral("%1 (%2)").arg(name, port.manufacturer);
    if (!name.isEmpty()) label += QStringLiteral("  ") + name;
    return label;
}

int ProbePort(const QString& devicePath) {
    // A port another program holds exclusively refuses the open (EBUSY), except
    // to root: root sees the exclusive flag instead. A second Glowdeck holds
    // the advisory lock on the node.
    const int fd =
        ::open(devicePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = 0;
    int exclusive = 0;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    else if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0)
        error = EBUSY;
    ::close(fd);  // also releases the lock
    return error;
}

void EnumeratePorts(std::vector<PortInfo>& list, bool probe, const PortSource& source) {
    list.clear();
    for (const RawPort& raw : source()) {
        PortInfo info;
        info.devicePath = raw.devicePath;
        info.portName = raw.portName;
        info.friendlyName = FriendlyNameFor(raw);
        info.isUsb = raw.isUsb;
        info.vendorId = raw.isUsb ? raw.vendorId : 0;
        info.description = raw.description;
        if (probe && ProbePort(info.devicePath) != 0) continue;
        // Complete the record: names fall back to the port name, and a port
        // without a description of its own is described by its friendly name
        // without the "(port)".
        if (info.friendlyName.isEmpty()) info.friendlyName = info.portName;
        if (info.description.isEmpty()) {
            info.description = info.friendlyName;
            const auto open = info.description.indexOf(QStringLiteral(" ("));
            if (open > 0 && info.description.endsWith(QLatin1Char(')')))
                info.description.truncate(open);
        }
        list.push_back(info);
    }
}

}  // namespace glowdeck
