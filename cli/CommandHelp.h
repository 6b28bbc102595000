// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace glowdeck {

// glowdeck-cli's help texts: the overview of every command (--help) and one
// command with all its options (COMMAND --help). Both end with the exit codes.
QString OverviewHelp();
// Empty when `command` is not one of the tool's commands.
QString CommandHelp(const QString& command);
// "glowdeck-cli VERSION" and what it works with.
QString VersionText();

}  // namespace glowdeck
