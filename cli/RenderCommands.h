// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

namespace glowdeck {

// glowdeck-cli render: the show as a picture or an animation.
int RunRender(const QStringList& args);

}  // namespace glowdeck
