// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/TextConverter.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "base/Cp936.h"
#include "base/MessageSink.h"
#include "led/ImageCodec.h"
#include "led/LedColours.h"
#include "led/LedOrder.h"
#include "led/PictureConverter.h"
#include "led/TextPainter.h"
#include "led/TextResampling.h"

namespace glowdeck {

namespace {

constexpr int kCanvasRows = 3 * LedRows;  // drawn at three times the LED height
constexpr int kMaxGlyphs = 255;

QString CharAt(const QVector<uint>& codePoints, int i) {
    const char32_t c = codePoints[i];
    return QString::fromUcs4(&c, 1);
}

// Vertical layout: characters top to bottom in one column of the font's line
// height; wide (two-byte) characters stand upright, narrow ones are turned a
// quarter clockwise, as vertical fonts set them.
QSizeF MeasureVertical(const QFont& font, const QVector<uint>& text) {
    const QFontMetricsF metrics(font);
    qreal height = 0;
    for (int i = 0; i < text.size(); ++i)
        height += ClassOf(text[i]) == CharClass::English
                      ? metrics.horizontalAdvance(CharAt(text, i))
                      : font.pixelSize();
    return QSizeF(text.isEmpty() ? 0 : metrics.height(), height);
}

void DrawVertical(QPainter& painter, const QFont& font, const QVector<uint>& text, qreal x,
                  const QColor& colour) {
    const QFontMetricsF metrics(font);
    const qreal column = metrics.height();
    painter.setFont(font);
    painter.setPen(colour);
    qreal y = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QString c = CharAt(text, i);
        const qreal advance = metrics.horizontalAdvance(c);
        if (ClassOf(text[i]) == CharClass::English) {
            painter.save();
            painter.translate(x + column, y);
            painter.rotate(90);
            painter.drawText(QPointF(0, metrics.ascent()), c);
            painter.restore();
            y += advance;
        } else {
            painter.drawText(QPointF(x + (column - advance) / 2, y + metrics.ascent()), c);
            y += font.pixelSize();
        }
    }
}

// Which pixels of the W × 56 strip belong to the text: the red mask reduced
// bilinearly, red above 60.
std::vector<bool> TextPixels(const QImage& mask, int width) {
    const std::vector<std::uint8_t> red = ReduceChannelBilinear(mask, 16, width, LedRows);
    std::vector<bool> text(red.size());
    for (size_t k = 0; k < red.size(); ++k) text[k] = red[k] > 60;
    return text;
}

// One channel of the strip from its text and background components.
int ChannelValue(int t, int b, bool onText) {
    if (t == b) return t == 255 ? 255 : 0;
    if (b == 255) return onText ? 0 : 255;
    return onText ? 255 : 0;
}

}  // namespace

CharClass ClassOf(char32_t c) {
    const QByteArray bytes = ToCp936(QString::fromUcs4(&c, 1));
    if (bytes.size() < 2) return CharClass::English;
    const unsigned char lead = static_cast<unsigned char>(bytes[0]);
    return (lead == 0xA1 || lead == 0xA2 || lead == 0xA3) ? CharClass::ChineseSymbol
                                                          : CharClass::Chinese;
}

std::vector<QPointF> CTextConverter::GlyphPositions(const TextRenderParams& p) {
    std::vector<QPointF> positions;
    const QVector<uint> text = p.text.toUcs4();
    const double y = (p.emSize + kCanvasRows) / 2 - 20 + p.verticalOffset;
    float x = 0;
    for (int i = 0; i < text.size() && i < kMaxGlyphs; ++i) {
        positions.emplace_back(x, y);
        switch (ClassOf(text[i])) {
            case CharClass::Chinese:
                x += static_cast<float>(p.emSize + p.chineseOffset);
                break;
            case CharClass::English:
                x += static_cast<float>(p.emSize / 2 + p.englishOffset);
                break;
            case CharClass::ChineseSymbol:
                x += static_cast<float>(p.emSize + p.symbolOffset);
                break;
        }
    }
    return positions;
}

bool CTextConverter::RenderText(const QString& outputPath, const TextRenderParams& p,
                                IMessageSink* messages) {
    Release();
    mask_ = ledColour_ = QImage();
    QString family = p.fontName;
    const bool vertical = family.startsWith(QLatin1Char('@'));
    while (family.startsWith(QLatin1Char('@'))) family.remove(0, 1);
    const QFont font = MakeFont(family, p.emSize, p.fontStyle);
    // A character that the face lacks is drawn from a fallback face; one that
    // no installed font has cannot be drawn: refuse before anything is written.
    if (const std::optional<char32_t> missing = FirstUndrawable(font, p.text)) {
        if (messages)
            messages->Warn(QCoreApplication::translate("TextConverter",
                                                       "无法生成此种文字！（没有字体能显示“%1”）")
                               .arg(QString::fromUcs4(&*missing, 1)));
        return false;
    }
    const QVector<uint> text = p.text.toUcs4();
    const QString glyphs = QString::fromUcs4(reinterpret_cast<const char32_t*>(text.constData()),
                                             std::min<int>(text.size(), kMaxGlyphs));
    characterCount_ = static_cast<int>(text.size());
    const QColor textColour = ColourFromBgr(p.textColour), background = ColourFromBgr(p.backColour);
    const double y0 = std::max(0.0, (kCanvasRows - p.emSize) * 0.5);
    const std::vector<QPointF> positions = GlyphPositions(p);

    // Measure.
    QSizeF measured;
    QPointF origin;
    if (vertical) {
        measured = MeasureVertical(font, text);
        origin = QPointF((kCanvasRows - measured.width()) * 0.5 - p.verticalOffset, 0);
    } else {
        origin = QPointF(0, y0 + p.verticalOffset - 17);
        if (text.isEmpty()) {
            measured = QSizeF(0, 0);
        } else if (p.autoSpacing) {
            measured = MeasureText(font, p.text);
        } else {
            const QFontMetricsF metrics(font);
            const QVector<uint> drawn = glyphs.toUcs4();
            qreal right = 0;
            for (int i = 0; i < drawn.size(); ++i)
                right =
                    std::max(right, positions[i].x() + metrics.horizontalAdvance(CharAt(drawn, i)));
            measured = QSizeF(right, metrics.height());
        }
    }
    const int canvasWidth = vertical ? kCanvasRows : static_cast<int>(measured.width());
    const int canvasHeight = vertical ? static_cast<int>(measured.height()) : kCanvasRows;
    if (measured.height() <= 0 || canvasWidth <= 0 || canvasHeight <= 0) {
        if (messages)
            messages->Warn(QCoreApplication::translate("TextConverter", "无法生成此种文字！"));
        return false;
    }

    // The text drawn red on black: the strip's colours follow from which
    // pixels the text covers, so this one rendering is all it needs.
    mask_ = [&] {
        QImage canvas(canvasWidth, canvasHeight, QImage::Format_ARGB32);
        canvas.fill(QColor(0, 0, 0));
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QColor ink(255, 0, 0);
        if (vertical)
            DrawVertical(painter, font, text, origin.x(), ink);
        else if (p.autoSpacing)
            DrawText(painter, font, p.text, origin, ink);
        else
            DrawPositionedChars(painter, font, glyphs, positions, ink);
        painter.end();
        return vertical ? QuarterTurnSampled(canvas) : canvas;
    }();

    const int width = LedWidthFor(mask_.size());
    if (width <= 0) {
        if (messages)
            messages->Warn(QCoreApplication::translate("TextConverter", "无法生成此种文字！"));
        return false;
    }
    const std::vector<bool> onText = TextPixels(mask_, width);
    ledColour_ = QImage(width, LedRows, QImage::Format_RGB32);
    const int t[3] = {textColour.red(), textColour.green(), textColour.blue()};
    const int b[3] = {background.red(), background.green(), background.blue()};
    for (int y = 0; y < LedRows; ++y)
        for (int x = 0; x < width; ++x) {
            const bool on = onText[static_cast<size_t>(y) * width + x];
            ledColour_.setPixel(x, y,
                                qRgb(ChannelValue(t[0], b[0], on), ChannelValue(t[1], b[1], on),
                                     ChannelValue(t[2], b[2], on)));
        }
    QString error;
    if (!EncodeImage(ledColour_, outputPath, QStringLiteral("image/bmp"), &error)) {
        if (messages)
            messages->Warn(
                QCoreApplication::translate("TextConverter", "图像文件保存失败：\n%1\n%2")
                    .arg(outputPath, error));
        return false;
    }
    SetLoaded(ledColour_);
    return true;
}

bool CTextConverter::LoadFile(const QString& path) {
    CPictureConverter picture;
    if (!picture.LoadFile(path)) return false;
    SetLoaded(picture.ResizedImage());
    return true;
}

}  // namespace glowdeck
