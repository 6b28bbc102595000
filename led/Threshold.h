// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <functional>

namespace glowdeck {

// The threshold colour of an item's "r", "g", "b": ARGB(255, 255 − r, 255 − g, 255 − b).
QRgb ThresholdColour(int r, int g, int b);

// Each of red, green and blue becomes 255 where the source channel is at
// least the threshold's, else 0; alpha is kept. `onColumn` runs after each column.
QImage ThresholdImage(const QImage& source, QRgb threshold,
                      const std::function<void(int)>& onColumn = {});

}  // namespace glowdeck
