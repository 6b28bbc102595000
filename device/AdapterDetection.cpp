// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/AdapterDetection.h"

#include <QCoreApplication>

#include "base/IntText.h"
#include "base/MessageSink.h"

namespace glowdeck {

namespace {
const QString kAdapterName = QStringLiteral("Prolific USB-to-Serial Comm Port");

QString StripLeading(QString text, const QString& set) {
    int k = 0;
    while (k < text.size() && set.contains(text[k])) ++k;
    return text.mid(k);
}

// The device node a friendly name points at: "/dev/" and the name in parentheses.
QString DeviceInName(const QString& friendlyName) {
    const auto open = friendlyName.lastIndexOf(QLatin1Char('('));
    const auto close = friendlyName.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close <= open + 1) return QString();
    const QString name = friendlyName.mid(open + 1, close - open - 1);
    return name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
}
}  // namespace

int AdapterPortNumber(const QString& friendlyName) {
    QString rest = StripLeading(friendlyName, kAdapterName + QLatin1Char(' '));
    while (rest.endsWith(QLatin1Char(')'))) rest.chop(1);
    rest = StripLeading(rest, QStringLiteral("("));
    rest = StripLeading(rest, QStringLiteral("COM"));
    return ParseCInt(rest);
}

AdapterDetection DetectAdapterPort(const std::vector<PortInfo>& ports, IMessageSink* messages,
                                   const std::function<void(const QString&)>& status) {
    AdapterDetection result;
    for (const PortInfo& port : ports) result.friendlyNames << port.friendlyName;
    for (const PortInfo& port : ports) {
        if (!port.friendlyName.contains(kAdapterName)) continue;
        if (result.portKnown) {
            if (messages)
                messages->Warn(QCoreApplication::translate("AdapterDetection",
                                                           "下载时请拔出其他USB扩展串口！"));
            break;
        }
        if (status) status(QCoreApplication::translate("AdapterDetection", "检测到传送端口!"));
        result.portKnown = true;
        result.portNumber = AdapterPortNumber(port.friendlyName);
        result.device =
            port.devicePath.isEmpty() ? DeviceInName(port.friendlyName) : port.devicePath;
    }
    return result;
}

}  // namespace glowdeck
