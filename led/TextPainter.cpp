#include "led/TextPainter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>

namespace glowdeck {

QString SongFallbackFamily() { return QStringLiteral("AR PL UMing CN"); }

bool IsSongFace(const QString& family) {
    return family == QStringLiteral("宋体") ||
           family.compare(QLatin1String("SimSun"), Qt::CaseInsensitive) == 0;
}

bool CanDrawWith(const QString& family, const QString& text) {
    if (!IsSongFace(family) && !QFontDatabase::hasFamily(family)) return false;
    const QFontMetricsF metrics(MakeFont(family, 24, 0));
    for (const uint c : text.toUcs4()) {
        // Line breaks and other controls are not drawn: nothing to look for.
        if (QChar::category(c) == QChar::Other_Control) continue;
        if (!metrics.inFontUcs4(c)) return false;
    }
    return true;
}

QFont MakeFont(const QString& family, int pixelSize, int styleBits) {
    QStringList families{family};
    // Only the default Song face falls back to the shipped Song-style face.
    if (IsSongFace(family))
        families << QStringLiteral("宋体") << QStringLiteral("SimSun") << SongFallbackFamily();
    families.removeDuplicates();
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize > 0 ? pixelSize : 1);
    font.setBold(styleBits & StyleBold);
    font.setItalic(styleBits & StyleItalic);
    font.setUnderline(styleBits & StyleUnderline);
    font.setStrikeOut(styleBits & StyleStrikeOut);
    font.setKerning(false);
    // No glyphs borrowed from other fonts: what the face cannot draw is refused.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoFontMerging));
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
