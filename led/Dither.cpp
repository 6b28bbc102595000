// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/Dither.h"

#include <algorithm>
#include <array>
#include <vector>

namespace glowdeck {

namespace {

// Levels in sixteenths of a source step: lit is 255 × 16, the quantiser
// splits at half of it.
constexpr int kLit = 255 * 16;
constexpr int kHalf = kLit / 2;

// Where each source level of one channel enters the quantiser: a straight
// line from 0 to the threshold's level at kHalf and another on to 255 at
// kLit. The threshold is kept off the ends so that 0 and 255 keep their
// places (a slider at either end would otherwise light black or dim white).
std::array<int, 256> ToneCurve(int threshold) {
    const int pivot = std::clamp(threshold, 1, 254);
    std::array<int, 256> curve{};
    for (int s = 0; s < 256; ++s)
        curve[s] = s <= pivot ? (2 * kHalf * s + pivot) / (2 * pivot)
                              : kHalf + (2 * (kLit - kHalf) * (s - pivot) + (255 - pivot)) /
                                            (2 * (255 - pivot));
    return curve;
}

// Sixteenths of an error, rounded down. The offset keeps the shifted value
// positive, where a shift is exact and means the same on every compiler.
constexpr int kOffset = 1 << 20;
inline int Sixteenths(int error, int weight) {
    return ((error * weight + 16 * kOffset) >> 4) - kOffset;
}

// Quantises one channel of one pixel: `value` is its level plus the error
// that reached it from the row above, `*carry` what the previous pixel of
// this row passed on. Returns 0 or 255; passes 7/16 of the error on in
// `*carry` and spreads 3/16, 5/16 and the rest over the next row, behind,
// below and ahead, so no error is lost to rounding.
inline int Diffuse(int value, int* carry, int* below, int ahead) {
    value += *carry;
    // Without branches: lit or not is a coin toss in a mid tone.
    const int on = value >= kHalf;
    const int error = value - (-on & kLit);
    const int e7 = Sixteenths(error, 7), e3 = Sixteenths(error, 3), e5 = Sixteenths(error, 5);
    *carry = e7;
    below[-ahead] += e3;
    below[0] += e5;
    below[ahead] += error - e7 - e3 - e5;
    return -on & 255;
}

using Curves = std::array<int, 256>[3];

// One row in the direction `Step` (1 left to right, -1 right to left).
// `here` holds the error that reached this row, `next` gathers what goes to
// the one below; both have three channels a cell and a spare cell at each end.
template <int Step>
void DiffuseRow(const QRgb* src, QRgb* dst, int w, const Curves& curves, const int* here,
                int* next) {
    constexpr int ahead = 3 * Step;
    // The 7/16 for the next pixel of this row is carried in hand rather
    // than through memory: it is the one step each pixel waits for.
    int carryRed = 0, carryGreen = 0, carryBlue = 0;
    for (int k = 0; k < w; ++k) {
        const int x = Step > 0 ? k : w - 1 - k;
        const int cell = 3 * (x + 1);
        const QRgb pixel = src[x];
        const int red = Diffuse(curves[0][qRed(pixel)] + here[cell], &carryRed, next + cell, ahead);
        const int green =
            Diffuse(curves[1][qGreen(pixel)] + here[cell + 1], &carryGreen, next + cell + 1, ahead);
        const int blue =
            Diffuse(curves[2][qBlue(pixel)] + here[cell + 2], &carryBlue, next + cell + 2, ahead);
        dst[x] = qRgba(red, green, blue, qAlpha(pixel));
    }
}

}  // namespace

QImage DitherImage(const QImage& source, QRgb threshold, const std::function<void(int)>& onRow) {
    const QImage in = source.convertToFormat(QImage::Format_ARGB32);
    QImage out(in.size(), QImage::Format_ARGB32);
    const int w = in.width(), h = in.height();
    const Curves curves = {ToneCurve(qRed(threshold)), ToneCurve(qGreen(threshold)),
                           ToneCurve(qBlue(threshold))};
    // Error carried into this row and the next: three channels a cell, with
    // a spare cell at each end for what falls off the picture.
    const size_t cells = 3 * (static_cast<size_t>(w) + 2);
    std::vector<int> errors(2 * cells, 0);
    int* here = errors.data();
    int* next = errors.data() + cells;
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        // Serpentine: every other row runs right to left, so the error does
        // not pile up along one side.
        if (y % 2 == 0)
            DiffuseRow<1>(src, dst, w, curves, here, next);
        else
            DiffuseRow<-1>(src, dst, w, curves, here, next);
        std::swap(here, next);
        std::fill(next, next + cells, 0);
        if (onRow) onRow(y);
    }
    return out;
}

}  // namespace glowdeck
