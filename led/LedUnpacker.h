// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QImage>

#include "led/LedOrder.h"

namespace glowdeck {

// The inverse of packing: `columns` packed columns starting at byte `offset`
// of `data`, shown as a columns × 56 image in the ball's eight colours (a
// cleared bit lights its channel). Columns past the end of the data are black.
QImage UnpackColumns(const QByteArray& data, long long offset, int columns, LedTable table);

}  // namespace glowdeck
