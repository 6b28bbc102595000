// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <cstdint>
#include <vector>

namespace glowdeck {

// The two resamplings of a text rendering, in integer arithmetic so that a
// strip comes out the same bytes on every machine (and as the strips stored
// in existing projects were made).

// A quarter turn (270°) of an ARGB32 image: the result is h wide and w high,
// and its pixel (x, y) is the bilinear sample of the source at
// (w − y − 0.5, x + 0.5), i.e. the rounded mean of a 2 × 2 block, edges
// repeated.
QImage QuarterTurnSampled(const QImage& source);

// One channel of an ARGB32 image (shift 16 red, 8 green, 0 blue) reduced
// bilinearly to width × height, pixel centres aligned, the column weights in
// 11-bit fixed point. Row-major, width × height values.
std::vector<std::uint8_t> ReduceChannelBilinear(const QImage& source, int shift, int width,
                                                int height);

}  // namespace glowdeck
