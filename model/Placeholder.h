// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QImage>
#include <QString>

namespace glowdeck {

// The picture a new item gets before the user gives it content: `text` in
// "宋体" about five sixths of the picture wide, centred vertically, on an
// opaque background. An empty text draws "空白"; a picture too narrow for any
// glyph (size 0) is plain background.
QImage MakePlaceholder(const QString& text, int width, int height, const QColor& textColour,
                       const QColor& background);

// The font size the placeholder text is drawn at: trunc(Hm / (Wm / W) × 5/6)
// where Wm × Hm is the text's layout box at an em size of H pixels.
int PlaceholderFontSize(const QString& text, int width, int height);

}  // namespace glowdeck
