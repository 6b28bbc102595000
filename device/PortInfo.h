// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace glowdeck {

// One serial port of the machine.
struct PortInfo {
    QString devicePath;    // opens the port: /dev/ttyUSB0
    QString portName;      // ttyUSB0
    QString friendlyName;  // "Prolific USB-to-Serial Comm Port (ttyUSB0)"
    bool isUsb = false;
    QString description;         // the system's description ("USB-Serial Controller")
    std::uint16_t vendorId = 0;  // the USB vendor id; 0 for a port not on USB
};

// What the system says about a port before it is named.
struct RawPort {
    QString portName;
    QString devicePath;
    QString description;  // the USB product string or the driver's name
    QString manufacturer;
    bool isUsb = false;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

using PortSource = std::function<std::vector<RawPort>()>;

// The vendor of the ball's USB-to-serial adapter.
constexpr std::uint16_t AdapterVendorId = 0x067B;

// Ports read from a sysfs tree (/sys/class/tty); device nodes under `devRoot`.
std::vector<RawPort> SysfsPorts(const QString& sysRoot = QStringLiteral("/sys"),
                                const QString& devRoot = QStringLiteral("/dev"));
// Ports as Qt's serial port support lists them (udev), completed from sysfs
// where udev gives no USB details.
std::vector<RawPort> SystemPorts();

// The friendly name a port is shown with.
QString FriendlyNameFor(const RawPort& port);

// How a port is offered for a manual choice: its device path, its USB ids
// and names ("/dev/ttyUSB0  1a86:7523  USB Serial (QinHeng)").
QString PortLabel(const RawPort& port);

// Fills `list` (emptied first). With `probe`, ports that cannot be opened
// exclusively for reading and writing are left out.
void EnumeratePorts(std::vector<PortInfo>& list, bool probe,
                    const PortSource& source = SystemPorts);

// Opens the device node exclusively and closes it again; 0 when that works,
// else the errno (EBUSY when another program holds the port).
int ProbePort(const QString& devicePath);

}  // namespace glowdeck
