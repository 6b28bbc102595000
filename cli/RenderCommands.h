#pragma once
#include <QStringList>

namespace glowdeck {

// glowdeck-cli render: the show as a picture or an animation.
int RunRender(const QStringList& args);

}  // namespace glowdeck
