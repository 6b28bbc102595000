// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glowdeck {

// Colours are stored as 0x00BBGGRR numbers ("backcolor", "textcolor", pen
// colours): red in the lowest byte. Every reader and writer of such a
// number takes its channels apart and puts them together here.
constexpr int RedOf(unsigned bgr) { return static_cast<int>(bgr & 0xFF); }
constexpr int GreenOf(unsigned bgr) { return static_cast<int>((bgr >> 8) & 0xFF); }
constexpr int BlueOf(unsigned bgr) { return static_cast<int>((bgr >> 16) & 0xFF); }
constexpr unsigned BgrOf(int red, int green, int blue) {
    return static_cast<unsigned>(red & 0xFF) | static_cast<unsigned>(green & 0xFF) << 8 |
           static_cast<unsigned>(blue & 0xFF) << 16;
}

}  // namespace glowdeck
