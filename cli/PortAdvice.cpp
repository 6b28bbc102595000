// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PortAdvice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace glowdeck {

namespace {

// What membership of the port's group can do.
QString GroupRemedy(const GroupAccess& access) {
    if (access.group.isEmpty() || !access.groupReadWrite)
        return QCoreApplication::translate(
            "PortAdvice", "ask the administrator for access (its group may not use it)");
    if (access.inGroupNow)
        return QCoreApplication::translate("PortAdvice",
                                           "ask the administrator why the %1 group may not open it")
            .arg(access.group);
    if (access.inGroupAfterLogin)
        return QCoreApplication::translate(
                   "PortAdvice",
                   "log out and in again: your user joined the %1 group since logging in")
            .arg(access.group);
    return QCoreApplication::translate(
               "PortAdvice",
               "add your user to the %1 group (sudo usermod -aG %1 $USER) and log in again")
        .arg(access.group);
}

}  // namespace

QStringList UdevRuleFolders() {
    return {QStringLiteral("/etc/udev/rules.d"), QStringLiteral("/run/udev/rules.d"),
            QStringLiteral("/usr/local/lib/udev/rules.d"), QStringLiteral("/usr/lib/udev/rules.d"),
            QStringLiteral("/lib/udev/rules.d")};
}

bool BallRuleInstalled(const QStringList& folders) {
    for (const QString& folder : folders) {
        const QFileInfo rule(QDir(folder).filePath(QString::fromLatin1(kBallRuleName)));
        if (!rule.exists() && !rule.isSymLink()) continue;
        if (rule.isSymLink() && rule.symLinkTarget() == QLatin1String("/dev/null")) return false;
        return rule.isFile() && rule.size() > 0;
    }
    return false;
}

bool BallRuleMatches(const PortInfo& port) {
    return port.isUsb && port.vendorId == AdapterVendorId;
}

QString OpenProblem(int error, const PortInfo& port, bool ruleInstalled,
                    const GroupAccess& access) {
    switch (error) {
        case EACCES:
        case EPERM:
            if (!BallRuleMatches(port))
                return QCoreApplication::translate("PortAdvice", "no permission to open it: %1")
                    .arg(GroupRemedy(access));
            if (!ruleInstalled)
                return QCoreApplication::translate(
                           "PortAdvice",
                           "no permission to open it: install Glowdeck's udev rule (%1, in the "
                           "package) and replug the adapter, or %2")
                    .arg(QString::fromLatin1(kBallRuleName), GroupRemedy(access));
            return QCoreApplication::translate(
                       "PortAdvice",
                       "no permission to open it: Glowdeck's udev rule is installed but gives the "
                       "port only to the user logged in at the desktop (replug the adapter if it "
                       "was plugged in before the rule came); or %1")
                .arg(GroupRemedy(access));
        case EBUSY:
            return QCoreApplication::translate("PortAdvice", "another program holds it");
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return QCoreApplication::translate("PortAdvice",
                                               "the device is not there (unplugged?)");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

}  // namespace glowdeck
