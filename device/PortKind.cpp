// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/PortKind.h"

#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace glowdeck {

namespace {

// Device numbers of the kernel's terminal drivers.
constexpr unsigned kTtyMajor = 4;  // tty0..tty63 virtual consoles, ttyS* from minor 64
constexpr unsigned kFirstSerialMinor = 64;
constexpr unsigned kTtyAuxMajor = 5;           // /dev/tty, /dev/console, /dev/ptmx, /dev/ttyprintk
constexpr unsigned kControllingTty = 0;        // 5:0
constexpr unsigned kConsole = 1;               // 5:1
constexpr unsigned kFirstPtySlaveMajor = 136;  // /dev/pts/N, majors 136..143
constexpr unsigned kLastPtySlaveMajor = 143;

bool IsVirtualConsole(const DeviceFacts& f) {
    return f.major == kTtyMajor && f.minor < kFirstSerialMinor;
}

// /dev/tty and /dev/console stand for whatever terminal or console is
// behind them; the other nodes of that major are no lines either.
bool IsConsoleAlias(const DeviceFacts& f) {
    return f.major == kTtyAuxMajor && (f.minor == kControllingTty || f.minor == kConsole);
}

// The device numbers the kernel writes its console to, from the last field
// ("4:64") of each line of /proc/consoles.
bool ListedAsConsole(const QString& consoles, unsigned major, unsigned minor) {
    QFile file(consoles);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString wanted = QStringLiteral("%1:%2").arg(major).arg(minor);
    // A small virtual file: a few lines at most.
    const QStringList lines = QString::fromLatin1(file.read(64 * 1024)).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!fields.isEmpty() && fields.last() == wanted) return true;
    }
    return false;
}

// A terminal backed by hardware has a device below its class entry.
bool HasDeviceLink(const QString& sysRoot, unsigned major, unsigned minor) {
    const QString node = QStringLiteral("%1/dev/char/%2:%3").arg(sysRoot).arg(major).arg(minor);
    const QString target = QFileInfo(node).symLinkTarget();
    if (target.isEmpty() || !target.contains(QLatin1String("/tty/"))) return false;
    const QString name = QFileInfo(target).fileName();
    return QFileInfo::exists(QStringLiteral("%1/class/tty/%2/device").arg(sysRoot, name));
}

}  // namespace

PortKind ClassifyPort(const DeviceFacts& f) {
    if (!f.characterDevice) return PortKind::NotATerminal;
    if (f.console || IsVirtualConsole(f) || IsConsoleAlias(f)) return PortKind::Console;
    if (f.major == kTtyAuxMajor) return PortKind::OtherTerminal;  // ptmx, ttyprintk
    if (f.major >= kFirstPtySlaveMajor && f.major <= kLastPtySlaveMajor)
        return PortKind::PseudoTerminal;
    if (!f.terminal) return PortKind::NotATerminal;
    if (f.serialInfo || f.deviceLink) return PortKind::SerialPort;
    return PortKind::OtherTerminal;
}

bool RefusedBeforeOpening(const DeviceFacts& f) {
    return !f.characterDevice || f.console || IsVirtualConsole(f) || f.major == kTtyAuxMajor;
}

DeviceFacts FactsOf(const QString& path, int fd, const TerminalSources& sources) {
    DeviceFacts f;
    struct stat st {};
    const int statted = fd >= 0 ? ::fstat(fd, &st) : ::stat(path.toLocal8Bit().constData(), &st);
    if (statted != 0 || !S_ISCHR(st.st_mode)) return f;
    f.characterDevice = true;
    f.major = ::major(st.st_rdev);
    f.minor = ::minor(st.st_rdev);
    f.console = ListedAsConsole(sources.consoles, f.major, f.minor);
    f.deviceLink = HasDeviceLink(sources.sysRoot, f.major, f.minor);
    if (fd >= 0) {
        f.terminal = ::isatty(fd) == 1;
        serial_struct info{};
        f.serialInfo = f.terminal && ::ioctl(fd, TIOCGSERIAL, &info) == 0;
    }
    return f;
}

QString RefusalText(const QString& device, PortKind kind) {
    switch (kind) {
        case PortKind::Console:
            return QCoreApplication::translate("PortKind",
                                               "%1 是控制台终端，不是串口，不会向它发送数据。")
                .arg(device);
        case PortKind::OtherTerminal:
            return QCoreApplication::translate("PortKind",
                                               "%1 是终端，但不是串口，不会向它发送数据。")
                .arg(device);
        case PortKind::NotATerminal:
            return QCoreApplication::translate("PortKind", "%1 不是串口设备。").arg(device);
        case PortKind::SerialPort:
        case PortKind::PseudoTerminal:
            break;
    }
    return QString();
}

QString RefusalProblem(PortKind kind) {
    switch (kind) {
        case PortKind::Console:
            return QStringLiteral("it is a console terminal, not a serial port; nothing was sent");
        case PortKind::OtherTerminal:
            return QStringLiteral("it is a terminal but not a serial port; nothing was sent");
        case PortKind::NotATerminal:
            return QStringLiteral("it is not a serial port; nothing was sent");
        case PortKind::SerialPort:
        case PortKind::PseudoTerminal:
            break;
    }
    return QString();
}

}  // namespace glowdeck
