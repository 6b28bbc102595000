// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <sys/types.h>

#include <QList>
#include <QString>

namespace glowdeck {

// A process that has a device open.
struct PortHolder {
    qint64 pid = 0;
    QString name;  // from /proc/PID/comm
};

// Processes whose open files include `device` (also through a link to it),
// found by reading the fd links under `procRoot`. Processes this user may
// not look into are skipped.
QList<PortHolder> PortHolders(const QString& device,
                              const QString& procRoot = QStringLiteral("/proc"));

// What the system says about the group that owns a device node and about
// the user's membership in it.
struct GroupAccess {
    QString group;                   // name of the node's group ("dialout")
    bool groupReadWrite = false;     // members of that group may read and write the node
    bool inGroupNow = false;         // this process has the group
    bool inGroupAfterLogin = false;  // the user is listed in it (takes effect at the next login)
};
GroupAccess GroupAccessOf(const QString& device);

// Why a serial port could not be opened, in words a user can act on:
// `error` is the errno of the open. Names the program holding the port when
// /proc shows it, and the command that grants access to the port's group.
QString OpenFailureReason(const QString& device, int error,
                          const QString& procRoot = QStringLiteral("/proc"));
QString OpenFailureReason(const QString& device, int error, const GroupAccess& access,
                          const QList<PortHolder>& holders);

}  // namespace glowdeck
