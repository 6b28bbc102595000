// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

namespace glowdeck {

// glowdeck-cli compile / inspect.
int RunCompile(const QStringList& args);
int RunInspect(const QStringList& args);

}  // namespace glowdeck
