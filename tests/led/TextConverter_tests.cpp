// SPDX-License-Identifier: GPL-3.0-or-later
// Text items rendered into LED strips.
#include <gtest/gtest.h>

#include <QImageReader>
#include <set>

#include "led/PictureConverter.h"
#include "led/TextConverter.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

TextRenderParams Params(const QString& text, int fontsize = 10) {
    TextRenderParams p;
    p.text = text;
    p.fontName = QStringLiteral("宋体");
    p.emSize = 4 * fontsize + 20;
    p.textColour = 0x00FFFFFF;
    p.backColour = 0;
    return p;
}

std::set<QRgb> Colours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y) | 0xFF000000);
    return colours;
}

// Whether any pixel of columns [x0, x1) of the rendering is lit.
bool InkIn(const QImage& image, int x0, int x1) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, image.width()); ++x)
            if (qRed(image.pixel(x, y)) > 128) return true;
    return false;
}

}  // namespace

TEST(TextClasses, ByCodePage936Form) {
    EXPECT_EQ(ClassOf(U'A'), CharClass::English);
    EXPECT_EQ(ClassOf(U' '), CharClass::English);
    EXPECT_EQ(ClassOf(U'中'), CharClass::Chinese);
    EXPECT_EQ(ClassOf(U'，'), CharClass::ChineseSymbol);  // A3AC
    EXPECT_EQ(ClassOf(U'１'), CharClass::ChineseSymbol);  // A3B1
    EXPECT_EQ(ClassOf(U'、'), CharClass::ChineseSymbol);  // A1A2
    EXPECT_EQ(ClassOf(U'😀'), CharClass::English);         // not in the code page: "?"
}

TEST(TextLayout, ManualSpacingGlyphPositions) {
    TextRenderParams p = Params(QStringLiteral("AB"), 0);
    p.autoSpacing = false;
    auto positions = CTextConverter::GlyphPositions(p);
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[0], QPointF(0, 74));  // (20 + 168) div 2 − 20
    EXPECT_EQ(positions[1], QPointF(10, 74));
    p.text = QStringLiteral("中文，x");
    p.chineseOffset = 1.5;
    p.symbolOffset = -2;
    p.verticalOffset = 3;
    positions = CTextConverter::GlyphPositions(p);
    ASSERT_EQ(positions.size(), 4u);
    EXPECT_EQ(positions[1], QPointF(21.5, 77));
    EXPECT_EQ(positions[2], QPointF(43, 77));
    EXPECT_EQ(positions[3], QPointF(61, 77));
    p.text = QString(300, QLatin1Char('a'));
    EXPECT_EQ(CTextConverter::GlyphPositions(p).size(), 255u);
}

TEST(TextRender, StripIs56RowsAndWidthFollowsTheRendering) {
    EXPECT_EQ(LedWidthFor(QSize(336, 168)), 112);
    TempDir dir;
    CTextConverter converter;
    RecordingSink sink;
    ASSERT_TRUE(converter.RenderText(dir.File("t.bmp"), Params(QStringLiteral("新文字")), &sink));
    EXPECT_EQ(converter.MaskRendering().height(), 168);
    const int expectedWidth = LedWidthFor(converter.MaskRendering().size());
    EXPECT_GT(expectedWidth, 20);
    EXPECT_EQ(converter.Width(), expectedWidth);
    EXPECT_EQ(converter.CharacterCount(), 3);
    QImageReader reader(dir.File("t.bmp"));
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage strip = reader.read();
    EXPECT_EQ(strip.size(), QSize(expectedWidth, 56));
    EXPECT_EQ(strip.depth(), 32);  // Qt reports 24-bit BMPs as RGB32
    EXPECT_EQ(ReadAll(dir.File("t.bmp")).mid(28, 2),
              QByteArray("\x18\x00", 2));  // 24 bits per pixel
    EXPECT_TRUE(sink.texts.isEmpty());
}

TEST(TextRender, WhiteOnBlackIsOnlyWhiteAndBlack) {
    TempDir dir;
    CTextConverter converter;
    ASSERT_TRUE(
        converter.RenderText(dir.File("t.bmp"), Params(QStringLiteral("Glowdeck 彩球")), nullptr));
    const auto colours = Colours(converter.LedColourImage());
    EXPECT_EQ(colours, (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
}

TEST(TextRender, RedOnBlueFollowsTheChannelRule) {
    TempDir dir;
    TextRenderParams p = Params(QStringLiteral("中"));
    p.textColour = 0x000000FF;  // red
    p.backColour = 0x00FF0000;  // blue
    CTextConverter converter;
    ASSERT_TRUE(converter.RenderText(dir.File("t.bmp"), p, nullptr));
    EXPECT_EQ(Colours(converter.LedColourImage()),
              (std::set<QRgb>{qRgb(255, 0, 0), qRgb(0, 0, 255)}));
    // Same components: yellow on white keeps red lit everywhere.
    p.textColour = 0x0000FFFF;
    p.backColour = 0x00FFFFFF;
    ASSERT_TRUE(converter.RenderText(dir.File("t.bmp"), p, nullptr));
    EXPECT_EQ(Colours(converter.LedColourImage()),
              (std::set<QRgb>{qRgb(255, 255, 0), qRgb(255, 255, 255)}));
}

TEST(TextRender, NothingToDrawFails) {
    TempDir dir;
    CTextConverter converter;
    RecordingSink sink;
    EXPECT_FALSE(converter.RenderText(dir.File("t.bmp"), Params(QString()), &sink));
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("无法生成此种文字！")});
    EXPECT_FALSE(QFile::exists(dir.File("t.bmp")));
    TextRenderParams vertical = Params(QString());
    vertical.fontName = QStringLiteral("@宋体");
    EXPECT_FALSE(converter.RenderText(dir.File("t.bmp"), vertical, &sink));
    EXPECT_EQ(sink.texts.size(), 2);
    EXPECT_FALSE(QFile::exists(dir.File("t.bmp")));
}

TEST(TextRender, CharactersTheFaceLacksComeFromAFallbackFace) {
    // DejaVu Sans has Latin glyphs only: the Chinese ones are drawn by
    // whichever face the system falls back to, after the Latin ones, in
    // horizontal and in vertical text.
    const int s = 60;  // em size
    for (const char* font : {"DejaVu Sans", "@DejaVu Sans"}) {
        SCOPED_TRACE(font);
        TempDir dir;
        TextRenderParams p = Params(QStringLiteral("AB"), (s - 20) / 4);
        p.fontName = QString::fromUtf8(font);
        CTextConverter converter;
        RecordingSink sink;
        ASSERT_TRUE(converter.RenderText(dir.File("latin.bmp"), p, &sink));
        const QImage latin = converter.MaskRendering();
        p.text = QStringLiteral("AB中文");
        ASSERT_TRUE(converter.RenderText(dir.File("mixed.bmp"), p, &sink))
            << sink.texts.join(' ').toStdString();
        const QImage mixed = converter.MaskRendering();
        EXPECT_TRUE(sink.texts.isEmpty());
        // Two Chinese characters of about an em each follow the Latin ones, lit.
        EXPECT_GE(mixed.width(), latin.width() + 2 * s - 2);
        EXPECT_TRUE(InkIn(mixed, latin.width(), latin.width() + s));
        EXPECT_TRUE(InkIn(mixed, latin.width() + s, latin.width() + 2 * s));
        // The Latin characters are the face's own, where they were.
        EXPECT_EQ(mixed.copy(0, 0, latin.width() - 2, 168),
                  latin.copy(0, 0, latin.width() - 2, 168));
    }
}

TEST(TextRender, ManualSpacingDrawsAFallbackGlyphAtItsPosition) {
    // Em size 60 in a Latin-only face: " " advances 30 and "中" 60, so "中"
    // is drawn from x = 30 and "A" from x = 90, each exactly as alone at 0.
    TempDir dir;
    TextRenderParams p = Params(QStringLiteral(" 中A"), 10);
    p.fontName = QStringLiteral("DejaVu Sans");
    p.autoSpacing = false;
    CTextConverter converter;
    ASSERT_TRUE(converter.RenderText(dir.File("t.bmp"), p, nullptr));
    const QImage mixed = converter.MaskRendering();
    p.text = QStringLiteral("中");
    ASSERT_TRUE(converter.RenderText(dir.File("c.bmp"), p, nullptr));
    const QImage chinese = converter.MaskRendering();
    ASSERT_TRUE(InkIn(chinese, 0, chinese.width()));
    EXPECT_EQ(mixed.copy(30, 0, 60, 168), chinese.copy(0, 0, 60, 168));
    p.text = QStringLiteral("A");
    ASSERT_TRUE(converter.RenderText(dir.File("a.bmp"), p, nullptr));
    const QImage latin = converter.MaskRendering();
    EXPECT_EQ(mixed.copy(90, 0, latin.width(), 168), latin);
}

TEST(TextRender, OnlyTextThatNoFontCanDrawIsRefused) {
    // U+0378 is unassigned and U+10FFFD a private-use character of plane 16:
    // no font has them. An unknown family is drawn by a substitute face.
    const struct {
        const char* font;
        QString text, missing;  // no missing character: it renders
    } cases[] = {
        {"宋体", QStringLiteral("中\u0378文"), QStringLiteral("\u0378")},
        {"DejaVu Sans", QStringLiteral("ab中\U0010FFFD\u0378"), QStringLiteral("\U0010FFFD")},
        {"@NoSuchFontXYZ", QStringLiteral("a\u0378"), QStringLiteral("\u0378")},
        {"NoSuchFontXYZ", QStringLiteral("abc 中文\n，"), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.font);
        TempDir dir;
        TextRenderParams p = Params(c.text);
        p.fontName = QString::fromUtf8(c.font);
        CTextConverter converter;
        RecordingSink sink;
        EXPECT_EQ(converter.RenderText(dir.File("t.bmp"), p, &sink), c.missing.isEmpty());
        EXPECT_EQ(sink.texts.join(QString()),
                  c.missing.isEmpty()
                      ? QString()
                      : QStringLiteral("无法生成此种文字！（没有字体能显示“%1”）").arg(c.missing));
        EXPECT_EQ(QFile::exists(dir.File("t.bmp")), c.missing.isEmpty());
    }
}

TEST(TextRender, VerticalFontsAreTurnedAQuarter) {
    TempDir dir;
    TextRenderParams p = Params(QStringLiteral("中文AB"));
    p.fontName = QStringLiteral("@@宋体");
    CTextConverter converter;
    ASSERT_TRUE(converter.RenderText(dir.File("v.bmp"), p, nullptr));
    // Vertical text is drawn 168 wide and as tall as the text, then turned:
    // the rendering is as wide as the text and 168 high.
    EXPECT_EQ(converter.MaskRendering().height(), 168);
    EXPECT_GT(converter.MaskRendering().width(), 2 * p.emSize);
    EXPECT_EQ(Colours(converter.LedColourImage()),
              (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
}

TEST(TextRender, VerticalTextTallerThan32767PixelsIsTurnedToItsLastCharacter) {
    // 50 characters at the largest size stand 41000 pixels tall before the
    // turn (the turn once aborted the program past 32767).
    TempDir dir;
    TextRenderParams p = Params(QString(50, QChar(0x4E2D)), 200);
    p.fontName = QStringLiteral("@宋体");
    CTextConverter converter;
    ASSERT_TRUE(converter.RenderText(dir.File("v.bmp"), p, nullptr));
    const QImage& mask = converter.MaskRendering();
    EXPECT_EQ(mask.width(), 50 * p.emSize);
    EXPECT_TRUE(InkIn(mask, mask.width() - p.emSize, mask.width()));
    EXPECT_EQ(converter.LedColourImage().width(), 56 * mask.width() / 168);
}

TEST(TextRender, ManualSpacingWidensWithOffsets) {
    TempDir dir;
    TextRenderParams p = Params(QStringLiteral("文字文字"));
    p.autoSpacing = false;
    CTextConverter converter;
    ASSERT_TRUE(converter.RenderText(dir.File("a.bmp"), p, nullptr));
    const int narrow = converter.MaskRendering().width();
    p.chineseOffset = 20;
    ASSERT_TRUE(converter.RenderText(dir.File("b.bmp"), p, nullptr));
    EXPECT_EQ(converter.MaskRendering().width(), narrow + 60);
}

TEST(TextRender, EmSizeAndBaseLine) {
    // "fontsize" 0 gives S = 20 and y0 = 74; 40 gives S = 180 and y0 = 0: both render.
    TempDir dir;
    CTextConverter converter;
    ASSERT_TRUE(converter.RenderText(dir.File("s.bmp"), Params(QStringLiteral("字"), 0), nullptr));
    const int small = converter.Width();
    ASSERT_TRUE(converter.RenderText(dir.File("l.bmp"), Params(QStringLiteral("字"), 40), nullptr));
    EXPECT_GT(converter.Width(), small);
    ASSERT_TRUE(converter.Convert({1, 0}));
}
