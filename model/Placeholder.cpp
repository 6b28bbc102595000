// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Placeholder.h"

#include <QCoreApplication>
#include <QPainter>

#include "led/TextPainter.h"

namespace glowdeck {

namespace {
const QString kSongFamily = QStringLiteral("宋体");  // untranslated

QString Effective(const QString& text) {
    return text.isEmpty() ? QCoreApplication::translate("Placeholder", "空白") : text;
}
}  // namespace

int PlaceholderFontSize(const QString& text, int width, int height) {
    const QSizeF box = MeasureText(MakeFont(kSongFamily, height), Effective(text));
    if (box.width() <= 0 || width <= 0) return 0;
    const double size = (box.height() / (box.width() / width)) * 0.8333333333333334;
    return static_cast<int>(size);
}

QImage MakePlaceholder(const QString& text, int width, int height, const QColor& textColour,
                       const QColor& background) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(background);
    const int size = PlaceholderFontSize(text, width, height);
    if (size <= 0) return image;
    const int y = std::abs(height - size) / 2;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawText(painter, MakeFont(kSongFamily, size), Effective(text), QPointF(0, y), textColour);
    return image;
}

}  // namespace glowdeck
