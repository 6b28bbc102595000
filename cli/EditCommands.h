// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

namespace glowdeck {

// glowdeck-cli set-source / set-text / set-interval / set-threshold /
// set-dither: what the item editors do, from scripts.
int RunSetSource(const QStringList& args);
int RunSetText(const QStringList& args);
int RunSetInterval(const QStringList& args);
int RunSetThreshold(const QStringList& args);
int RunSetDither(const QStringList& args);

}  // namespace glowdeck
