// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

class QPainter;

namespace glowdeck {

// Font style bits stored with text items.
enum FontStyleBits {
    StyleBold = 1,
    StyleItalic = 2,
    StyleUnderline = 4,
    StyleStrikeOut = 8,
    StyleAll = 15,
};
// The style bits of a font (bold is a weight of 700 or more), and a font
// given every one of them.
int StyleBitsOf(const QFont& font);
void ApplyStyleBits(QFont& font, int styleBits);

// The installed Song-style face that stands in for "宋体"/"SimSun".
QString SongFallbackFamily();
// "宋体" or "SimSun": the default face, drawn with the fallback.
bool IsSongFace(const QString& family);

// A font of `family` at an em size of `pixelSize` pixels with the style bits.
// The family list is fixed (the family; for the Song face its aliases, then
// the Song fallback), so the face itself is the same on every machine
// whatever the locale. A character the face has no glyph for is drawn from
// the system's fallback faces, at the same position.
QFont MakeFont(const QString& family, int pixelSize, int styleBits = 0);

// The first character of `text` that no installed font can draw (neither the
// font's face nor any fallback face has a glyph for it), or nothing when all
// can be drawn. Line breaks and other invisible controls are not looked for.
std::optional<char32_t> FirstUndrawable(const QFont& font, const QString& text);

// The layout box of `text` drawn from the origin: its advance width and the
// font's line height (a box for each line of a multi-line text).
QSizeF MeasureText(const QFont& font, const QString& text);

// Draws `text` with its layout box's top-left corner at `origin`, unclipped.
void DrawText(QPainter& painter, const QFont& font, const QString& text, const QPointF& origin,
              const QColor& colour);

// Draws each character of `text` with its base-line origin at the matching
// position (as glyph positions are given: x of the origin, y of the base line).
void DrawPositionedChars(QPainter& painter, const QFont& font, const QString& text,
                         const std::vector<QPointF>& positions, const QColor& colour);

}  // namespace glowdeck
