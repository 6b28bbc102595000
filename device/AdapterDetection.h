// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "device/PortInfo.h"

namespace glowdeck {

class IMessageSink;

struct AdapterDetection {
    bool portKnown = false;
    int portNumber = 0;         // from a "(COMn)" name; 0 for other names
    QString device;             // the device node of the adapter's port
    QStringList friendlyNames;  // of every port, in list order
};

// The port number in an adapter's friendly name: strip leading characters of
// the set "Prolific USB-to-Serial Comm Port ", trailing ")", leading "(",
// leading C, O, M; read the rest as a decimal number (0 when it is not one).
int AdapterPortNumber(const QString& friendlyName);

// Finds the ball's adapter among `ports`: the first whose friendly name holds
// "Prolific USB-to-Serial Comm Port". `status` gets "检测到传送端口!"; a second
// adapter shows "下载时请拔出其他USB扩展串口！" and the first stays chosen.
AdapterDetection DetectAdapterPort(const std::vector<PortInfo>& ports, IMessageSink* messages,
                                   const std::function<void(const QString&)>& status = {});

}  // namespace glowdeck
