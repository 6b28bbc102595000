// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace glowdeck {

// Reads an integer by the C-library rule: leading blanks, an optional sign,
// then the leading decimal digits; 0 when there are none. Values beyond the
// 32-bit range saturate.
int ParseCInt(const QString& text);

}  // namespace glowdeck
