// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QPainter>
#include <array>
#include <vector>

namespace glowdeck {

// Draws LED columns as round dots on black, `pitch` pixels per LED. Dots
// are drawn once per colour and then copied, so a frame costs one copy per LED.
class CStripRenderer {
public:
    explicit CStripRenderer(int pitch);
    int Pitch() const { return pitch_; }

    // The colour a dot of an LED image pixel shows at its centre: the LED's
    // colour, or dark grey for an LED that is off.
    static QRgb DotColour(QRgb led);

    // Draws `count` columns of `strip` (stored columns of `columns`), from
    // strip column `first`, with the top left of the first LED at `origin`.
    void Draw(QPainter& painter, QPoint origin, const QImage& columns,
              const std::vector<int>& strip, int first, int count) const;
    // A whole strip on a black image.
    QImage Render(const QImage& columns, const std::vector<int>& strip) const;

private:
    int pitch_;
    std::array<QImage, 8> dots_;
};

// Which of the eight colours (bit 0 red, 1 green, 2 blue) a pixel shows.
inline int LedColourIndex(QRgb pixel) {
    return (qRed(pixel) ? 1 : 0) | (qGreen(pixel) ? 2 : 0) | (qBlue(pixel) ? 4 : 0);
}

}  // namespace glowdeck
