// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/TextPainter.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QSet>
#include <QStringList>
#include <QTextLayout>

namespace glowdeck {

QString SongFallbackFamily() { return QStringLiteral("AR PL UMing CN"); }

// A face's own name, not a text for the user.
const char kSongFamily[] = "宋体";  // untranslated

bool IsSongFace(const QString& family) {
    return family == QString::fromUtf8(kSongFamily) ||
           family.compare(QLatin1String("SimSun"), Qt::CaseInsensitive) == 0;
}

namespace {

// Not drawn, so not looked for: line breaks, tabs, joiners and other
// format characters.
bool IsInvisible(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
    }
}

// Whether laying `c` out with `font` gives real glyphs. The layout goes
// through the font's fallback faces as drawing does; a glyph index of 0 is
// the "missing glyph" box of whichever face was last tried.
bool SomeFontDraws(const QFont& font, char32_t c) {
    QTextLayout layout(QString::fromUcs4(&c, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty()) return false;
    for (const QGlyphRun& run : runs)
        for (const quint32 glyph : run.glyphIndexes())
            if (glyph == 0) return false;
    return true;
}

}  // namespace

std::optional<char32_t> FirstUndrawable(const QFont& font, const QString& text) {
    QSet<char32_t> checked;
    for (const uint c : text.toUcs4()) {
        if (IsInvisible(c) || checked.contains(c)) continue;
        if (!SomeFontDraws(font, c)) return c;
        checked.insert(c);
    }
    return std::nullopt;
}

int StyleBitsOf(const QFont& font) {
    return (font.weight() >= QFont::Bold ? StyleBold : 0) | (font.italic() ? StyleItalic : 0) |
           (font.underline() ? StyleUnderline : 0) | (font.strikeOut() ? StyleStrikeOut : 0);
}

void ApplyStyleBits(QFont& font, int styleBits) {
    font.setBold(styleBits & StyleBold);
    font.setItalic(styleBits & StyleItalic);
    font.setUnderline(styleBits & StyleUnderline);
    font.setStrikeOut(styleBits & StyleStrikeOut);
}

QFont MakeFont(const QString& family, int pixelSize, int styleBits) {
    QStringList families{family};
    // Only the default Song face falls back to the shipped Song-style face.
    if (IsSongFace(family))
        families << QString::fromUtf8(kSongFamily) << QStringLiteral("SimSun")
                 << SongFallbackFamily();
    families.removeDuplicates();
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize > 0 ? pixelSize : 1);
    ApplyStyleBits(font, styleBits);
    font.setKerning(false);
    // Font merging stays on: what the face lacks comes from a fallback face.
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QSizeF MeasureText(const QFont& font, const QString& text) {
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split(QLatin1Char('\n'));
    qreal width = 0;
    for (const QString& line : lines) width = qMax(width, metrics.horizontalAdvance(line));
    return QSizeF(width, metrics.height() * lines.size());
}

void DrawText(QPainter& painter, const QFont& font, const QString& text, const QPointF& origin,
              const QColor& colour) {
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QRectF(origin, QSizeF(1e6, 1e6)),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    painter.restore();
}

void DrawPositionedChars(QPainter& painter, const QFont& font, const QString& text,
                         const std::vector<QPointF>& positions, const QColor& colour) {
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    int k = 0;
    for (int i = 0; i < text.size() && k < static_cast<int>(positions.size()); ++k) {
        // Keep surrogate pairs together as one character.
        const int length = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        painter.drawText(positions[k], text.mid(i, length));
        i += length;
    }
    painter.restore();
}

}  // namespace glowdeck
