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
                              : kHalf + (2 * (kLit - kHalf) * (s - pivot) + (255 - pivot)) / (2 * (255 - pivot));
    return curve;
}

}  // namespace

QImage DitherImage(const QImage& source, QRgb threshold, const std::function<void(int)>& onRow) {
    const QImage in = source.convertToFormat(QImage::Format_ARGB32);
    QImage out(in.size(), QImage::Format_ARGB32);
    const int w = in.width(), h = in.height();
    const std::array<int, 256> curves[3] = {ToneCurve(qRed(threshold)), ToneCurve(qGreen(threshold)),
                                            ToneCurve(qBlue(threshold))};
    // Error carried into this row and the next, per channel, with one spare
    // cell at each end for what falls off the picture.
    std::vector<int> here[3], next[3];
    for (int c = 0; c < 3; ++c) {
        here[c].assign(static_cast<size_t>(w) + 2, 0);
        next[c].assign(static_cast<size_t>(w) + 2, 0);
    }
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        // Serpentine: every other row runs right to left, so the error does
        // not pile up along one side.
        const int step = y % 2 == 0 ? 1 : -1;
        for (int k = 0; k < w; ++k) {
            const int x = step > 0 ? k : w - 1 - k;
            const int cell = x + 1;  // index into the error rows
            const int levels[3] = {qRed(src[x]), qGreen(src[x]), qBlue(src[x])};
            int lit[3];
            for (int c = 0; c < 3; ++c) {
                const int value = curves[c][levels[c]] + here[c][cell];
                lit[c] = value >= kHalf ? 255 : 0;
                const int error = value - (lit[c] ? kLit : 0);
                // 7/16 ahead, 3/16 behind below, 5/16 below, the rest ahead
                // below, so no error is lost to rounding.
                const int ahead = error * 7 / 16, behind = error * 3 / 16, below = error * 5 / 16;
                here[c][cell + step] += ahead;
                next[c][cell - step] += behind;
                next[c][cell] += below;
                next[c][cell + step] += error - ahead - behind - below;
            }
            dst[x] = qRgba(lit[0], lit[1], lit[2], qAlpha(src[x]));
        }
        for (int c = 0; c < 3; ++c) {
            std::swap(here[c], next[c]);
            std::fill(next[c].begin(), next[c].end(), 0);
        }
        if (onRow) onRow(y);
    }
    return out;
}

}  // namespace glowdeck
