// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QSize>
#include <QString>

namespace glowdeck {

// The index stores an item's (and an animation frame's) column count in 16
// bits: no source may give more LED columns than this.
constexpr int MaxLedColumns = 65535;

// Why a source of that pixel size cannot become an LED image: empty when its
// LED width (LedWidthFor) fits the index. Callers check this before decoding
// or allocating anything for the source.
QString LedWidthProblem(const QSize& source);

// What the editors show as the LED image of a source too wide to convert:
// one dark column, 56 rows.
QImage DarkLedColumn();

// The compile message for an item whose source did not load: the missing
// file keeps its classic text, a file that exists but cannot be used names
// the reason. `group` and `item` count from 1.
QString SourceLoadMessage(int group, int item, const QString& path, const QString& reason);

}  // namespace glowdeck
