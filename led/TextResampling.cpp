// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/TextResampling.h"

#include <algorithm>
#include <cmath>

namespace glowdeck {

namespace {

constexpr int kWeightBits = 11;
constexpr int kWeightOne = 1 << kWeightBits;

// Rounds half to even, as the weights were always rounded.
int RoundWeight(float v) { return static_cast<int>(std::lrint(v)); }

// Where destination index d samples the source: the left (or upper) source
// index and the two weights of it and its successor, summing to about 2048.
struct Tap {
    int at;
    int w0, w1;
};

std::vector<Tap> Taps(int sourceSize, int size, bool clampFraction) {
    // The scale is taken through its inverse, as the stored strips were.
    const double scale = 1. / (static_cast<double>(size) / sourceSize);
    std::vector<Tap> taps(static_cast<size_t>(size));
    for (int d = 0; d < size; ++d) {
        float f = static_cast<float>((d + 0.5) * scale - 0.5);
        int at = static_cast<int>(std::floor(f));
        f -= static_cast<float>(at);
        if (clampFraction) {
            if (at < 0) f = 0, at = 0;
            if (at >= sourceSize - 1) f = 0, at = sourceSize - 1;
        }
        taps[static_cast<size_t>(d)] = {at, RoundWeight((1.f - f) * kWeightOne),
                                        RoundWeight(f * kWeightOne)};
    }
    return taps;
}

int Clamp(int v, int size) { return v < 0 ? 0 : (v < size ? v : size - 1); }

}  // namespace

QImage QuarterTurnSampled(const QImage& source) {
    const QImage in = source.convertToFormat(QImage::Format_ARGB32);
    const int w = in.width(), h = in.height();
    QImage out(h, w, QImage::Format_ARGB32);
    if (out.isNull()) return out;
    for (int y = 0; y < w; ++y) {
        // Sampling at (w − y − 0.5, x + 0.5) weighs four pixels a quarter each.
        const int x0 = w - y - 1, x1 = std::min(x0 + 1, w - 1);
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < h; ++x) {
            const auto* a = reinterpret_cast<const QRgb*>(in.constScanLine(x));
            const auto* b = reinterpret_cast<const QRgb*>(in.constScanLine(std::min(x + 1, h - 1)));
            const QRgb p[4] = {a[x0], a[x1], b[x0], b[x1]};
            QRgb mean = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                unsigned sum = 2;  // rounds the quarter to nearest, halves up
                for (const QRgb q : p) sum += (q >> shift) & 0xFF;
                mean |= (sum >> 2) << shift;
            }
            row[x] = mean;
        }
    }
    return out;
}

std::vector<std::uint8_t> ReduceChannelBilinear(const QImage& source, int shift, int width,
                                                int height) {
    const QImage in = source.convertToFormat(QImage::Format_ARGB32);
    const int w = in.width(), h = in.height();
    std::vector<std::uint8_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (w <= 0 || h <= 0 || width <= 0 || height <= 0) return out;
    const std::vector<Tap> columns = Taps(w, width, true);
    const std::vector<Tap> rows = Taps(h, height, false);
    // Each row is first reduced across (weights of 11 bits), then two rows
    // are mixed (11 bits again) and rounded back to 8 bits.
    std::vector<int> across[2] = {std::vector<int>(static_cast<size_t>(width)),
                                  std::vector<int>(static_cast<size_t>(width))};
    auto reduceRow = [&](int y, std::vector<int>& into) {
        const auto* line = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const Tap& t = columns[static_cast<size_t>(x)];
            const int next = std::min(t.at + 1, w - 1);
            into[static_cast<size_t>(x)] = static_cast<int>((line[t.at] >> shift) & 0xFF) * t.w0 +
                                           static_cast<int>((line[next] >> shift) & 0xFF) * t.w1;
        }
    };
    for (int y = 0; y < height; ++y) {
        const Tap& t = rows[static_cast<size_t>(y)];
        reduceRow(Clamp(t.at, h), across[0]);
        reduceRow(Clamp(t.at + 1, h), across[1]);
        for (int x = 0; x < width; ++x) {
            const long long mixed =
                static_cast<long long>(across[0][static_cast<size_t>(x)]) * t.w0 +
                static_cast<long long>(across[1][static_cast<size_t>(x)]) * t.w1 +
                (1LL << (2 * kWeightBits - 1));
            out[static_cast<size_t>(y) * width + x] = static_cast<std::uint8_t>(
                std::clamp<long long>(mixed >> (2 * kWeightBits), 0, 255));
        }
    }
    return out;
}

}  // namespace glowdeck
