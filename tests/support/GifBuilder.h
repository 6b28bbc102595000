// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QRgb>
#include <cstdint>
#include <vector>

namespace glowdeck::test {

// One image of a hand-made GIF: a rectangle of palette indices with its own
// graphics control block.
struct GifFrameSpec {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> pixels;  // width × height indices, row by row
    std::vector<QRgb> localPalette;    // empty: the global palette
    int disposal = 0;                  // 0 unspecified, 1 keep, 2 background, 3 previous
    int transparent = -1;              // index, or -1 for none
    int delay = 0;                     // hundredths of a second
    bool interlaced = false;           // rows are written in the four interlace passes
};

// A frame of one index over its whole rectangle.
GifFrameSpec FilledFrame(int left, int top, int width, int height, std::uint8_t index);

// Writes a GIF89a with giflib exactly as described; palettes are padded to a
// power of two with black.
QByteArray BuildGif(int width, int height, const std::vector<QRgb>& globalPalette, int background,
                    const std::vector<GifFrameSpec>& frames);

}  // namespace glowdeck::test
