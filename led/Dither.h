// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <functional>

namespace glowdeck {

// Error diffusion of a picture to one bit per channel: serpentine
// Floyd–Steinberg, each of red, green and blue on its own, rows top to
// bottom. The threshold colour keeps its meaning: a channel at the
// threshold's level comes out about half lit, darker levels less, brighter
// levels more (a higher threshold gives a darker picture); 0 and 255 stay
// unlit and lit, so black stays dark and pure colours stay pure. Integer
// arithmetic only: the same picture gives the same pixels on every machine.
// Alpha is kept. `onRow` runs after each row.
QImage DitherImage(const QImage& source, QRgb threshold,
                   const std::function<void(int)>& onRow = {});

}  // namespace glowdeck
