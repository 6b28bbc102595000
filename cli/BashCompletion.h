// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace glowdeck {

// The bash completion script of glowdeck-cli, made from its command table:
// commands, each command's options, the values of options and the
// positional arguments (project folders, data files, item kinds, ...).
QString BashCompletionScript();

}  // namespace glowdeck
