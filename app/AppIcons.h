// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>
#include <QString>

namespace glowdeck {

// Icons drawn for Glowdeck (res/icons). Tree node icons by view kind (1
// project, 3 group, 5 animation, 7 picture, 9 text, 11 interval) carry a
// distinct picture for the selected state.
QIcon NodeIcon(int viewKind);
QIcon ToolIcon(const QString& name);

}  // namespace glowdeck
