// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

namespace glowdeck {

// glowdeck-cli new / add-group / add / clean. Each takes the arguments after
// the command name and returns the process exit code.
int RunNew(const QStringList& args);
int RunAddGroup(const QStringList& args);
int RunAdd(const QStringList& args);
int RunClean(const QStringList& args);

}  // namespace glowdeck
