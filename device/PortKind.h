// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace glowdeck {

// What a device path names, as far as sending to the ball goes. Only serial
// ports and pseudo-terminals (a virtual ball, a test) are written to;
// consoles and other terminals would show the data on a screen or a login
// line, and anything else is no line at all.
enum class PortKind { SerialPort, PseudoTerminal, Console, OtherTerminal, NotATerminal };

inline bool MaySendTo(PortKind kind) {
    return kind == PortKind::SerialPort || kind == PortKind::PseudoTerminal;
}

// Where the system tells about terminals; tests point these at fake trees.
struct TerminalSources {
    QString consoles = QStringLiteral("/proc/consoles");  // "ttyS0 -W- (EC p a) 4:64" lines
    QString sysRoot = QStringLiteral("/sys");
};

// What is known of a device node.
struct DeviceFacts {
    bool characterDevice = false;
    unsigned major = 0;
    unsigned minor = 0;
    bool console = false;     // the kernel writes its console to it
    bool terminal = false;    // isatty on an open descriptor
    bool serialInfo = false;  // a serial driver answers TIOCGSERIAL
    bool deviceLink = false;  // /sys/class/tty/NAME/device: backed by hardware
};

PortKind ClassifyPort(const DeviceFacts& facts);

// The facts of `path`; `fd` is a descriptor opened on it, or -1 before
// opening (then terminal and serialInfo stay false). Nothing is written.
DeviceFacts FactsOf(const QString& path, int fd, const TerminalSources& sources = {});

// True when the facts known before opening already refuse the device, so it
// is never opened (opening a console or /dev/ptmx has effects of its own).
bool RefusedBeforeOpening(const DeviceFacts& facts);

// Why a device is not sent to: the desktop's words, and the command line's.
QString RefusalText(const QString& device, PortKind kind);
QString RefusalProblem(PortKind kind);

}  // namespace glowdeck
