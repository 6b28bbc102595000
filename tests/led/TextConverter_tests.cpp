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
    EXPECT_EQ(converter.ColourRendering().height(), 168);
    const int expectedWidth = LedWidthFor(converter.ColourRendering().size());
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
    // An unknown face and a character the face has no glyph for: nothing is
    // borrowed from another font.
    TextRenderParams unknown = Params(QStringLiteral("abc"));
    unknown.fontName = QStringLiteral("NoSuchFontXYZ");
    EXPECT_FALSE(converter.RenderText(dir.File("t.bmp"), unknown, &sink));
    TextRenderParams dejavu = Params(QStringLiteral("ab中"));
    dejavu.fontName = QStringLiteral("DejaVu Sans");
    EXPECT_FALSE(converter.RenderText(dir.File("t.bmp"), dejavu, &sink));
    EXPECT_EQ(sink.texts.size(), 4);
    EXPECT_FALSE(QFile::exists(dir.File("t.bmp")));
    dejavu.text = QStringLiteral("ab");
    EXPECT_TRUE(converter.RenderText(dir.File("t.bmp"), dejavu, &sink));
}

TEST(TextRender, VerticalFontsAreTurnedAQuarter) {
    TempDir dir;
    TextRenderParams p = Params(QStringLiteral("中文AB"));
    p.fontName = QStringLiteral("@@宋体");
    CTextConverter converter;
    ASSERT_TRUE(converter.RenderText(dir.File("v.bmp"), p, nullptr));
    // Vertical text is drawn 168 wide and as tall as the text, then turned:
    // the rendering is as wide as the text and 168 high.
    EXPECT_EQ(converter.ColourRendering().height(), 168);
    EXPECT_GT(converter.ColourRendering().width(), 2 * p.emSize);
    EXPECT_EQ(Colours(converter.LedColourImage()),
              (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
}

TEST(TextRender, ManualSpacingWidensWithOffsets) {
    TempDir dir;
    TextRenderParams p = Params(QStringLiteral("文字文字"));
    p.autoSpacing = false;
    CTextConverter converter;
    ASSERT_TRUE(converter.RenderText(dir.File("a.bmp"), p, nullptr));
    const int narrow = converter.ColourRendering().width();
    p.chineseOffset = 20;
    ASSERT_TRUE(converter.RenderText(dir.File("b.bmp"), p, nullptr));
    EXPECT_EQ(converter.ColourRendering().width(), narrow + 60);
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
