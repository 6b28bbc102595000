// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QString>
#include <array>

namespace glowdeck {

// A stored 0x00BBGGRR colour (base/BgrColour.h) as a QColor. An LED has one
// bit per channel, so it shows eight colours.
QColor ColourFromBgr(unsigned bgr);

namespace led_colour {
constexpr unsigned Black = 0x000000, Red = 0x0000FF, Green = 0x00FF00, Yellow = 0x00FFFF,
                   Blue = 0xFF0000, Magenta = 0xFF00FF, Cyan = 0xFFFF00, White = 0xFFFFFF;
}

struct NamedLedColour {
    unsigned bgr;
    const char* name;         // as the command line takes it
    const char* chineseName;  // as the colour lists show it (UTF-8, translatable)
};
// The eight colours in the order of the colour lists: black, red, green,
// yellow, blue, magenta, cyan, white.
const std::array<NamedLedColour, 8>& LedColours();
// The colour's name as the colour lists show it, in the program's language.
QString LedColourLabel(const NamedLedColour& colour);

}  // namespace glowdeck
