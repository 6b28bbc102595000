// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

#include "device/PortAccess.h"
#include "device/PortInfo.h"

namespace glowdeck {

// The file name of Glowdeck's udev rule for the ball's adapter.
inline constexpr char kBallRuleName[] = "70-glowdeck-ball.rules";

// The folders udev reads rules from, the one that wins a name first.
QStringList UdevRuleFolders();

// Whether udev applies Glowdeck's rule: the first of `folders` that has a
// file of its name decides, and an empty file or a link to /dev/null there
// (how an administrator masks a rule) means it is not applied.
bool BallRuleInstalled(const QStringList& folders = UdevRuleFolders());

// Whether the rule applies to a port: the USB ports of the adapter's vendor.
bool BallRuleMatches(const PortInfo& port);

// Why a port cannot be opened and what the user can do about it, for
// `glowdeck-cli ports`: `error` is the errno of the open. For no permission
// the advice follows what the machine has: the udev rule only where it
// applies to the port and is not in place yet, the port's group as `access`
// describes it.
QString OpenProblem(int error, const PortInfo& port, bool ruleInstalled, const GroupAccess& access);

}  // namespace glowdeck
