// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

namespace glowdeck {

// glowdeck-cli send / ports / ball.
int RunSend(const QStringList& args);
int RunPorts(const QStringList& args);
int RunBall(const QStringList& args);

}  // namespace glowdeck
