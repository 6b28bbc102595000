// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <cstdint>
#include <functional>

#include "base/BallConfig.h"
#include "led/LedOrder.h"

namespace glowdeck {

// The table a picture, text or interval item is packed with.
LedTable PictureTable(const BallConfig& ball);

// Packs an LED image (W columns × 56 rows) into `buffer` at frame `frame`
// (byte frame × W × B, B = 14 for the inner table, else 21). A channel that
// is 0 sets its bit (the LEDs are active low); nothing else is written except
// that a single image (`clearFirst`) first clears 21 × W bytes at the start
// of the buffer. `buffer` must hold (frame + 1) × W × 21 bytes.
// `onColumn` (may be empty) is called after each packed column with its index.
void PackLedImage(const QImage& image, int frame, std::uint8_t* buffer, LedTable table,
                  bool clearFirst, const std::function<void(int)>& onColumn = {});

}  // namespace glowdeck
