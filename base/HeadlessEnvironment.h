// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glowdeck {

// Lets a Qt GUI application run without a display: the offscreen platform
// unless one is chosen, and a private runtime folder when none is set.
// Call before the application object is made.
void PrepareHeadlessEnvironment();

}  // namespace glowdeck
