// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/Threshold.h"

namespace glowdeck {

QRgb ThresholdColour(int r, int g, int b) {
    auto channel = [](int v) { return 255 - qBound(0, v, 255); };
    return qRgba(channel(r), channel(g), channel(b), 255);
}

QImage ThresholdImage(const QImage& source, QRgb threshold,
                      const std::function<void(int)>& onColumn) {
    const QImage in = source.convertToFormat(QImage::Format_ARGB32);
    QImage out(in.size(), QImage::Format_ARGB32);
    const int tr = qRed(threshold), tg = qGreen(threshold), tb = qBlue(threshold);
    for (int x = 0; x < in.width(); ++x) {
        for (int y = 0; y < in.height(); ++y) {
            const QRgb p = reinterpret_cast<const QRgb*>(in.constScanLine(y))[x];
            reinterpret_cast<QRgb*>(out.scanLine(y))[x] =
                qRgba(qRed(p) >= tr ? 255 : 0, qGreen(p) >= tg ? 255 : 0, qBlue(p) >= tb ? 255 : 0,
                      qAlpha(p));
        }
        if (onColumn) onColumn(x);
    }
    return out;
}

}  // namespace glowdeck
