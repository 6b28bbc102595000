// SPDX-License-Identifier: GPL-3.0-or-later
// Placeholder pictures of new items: size rule, placement and colours.
#include <gtest/gtest.h>

#include "led/TextPainter.h"
#include "model/Placeholder.h"

using namespace glowdeck;

namespace {

// Bounding box of the pixels that differ from black.
QRect Ink(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0) box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

TEST(Placeholder, FontSizeFollowsTheFiveSixthsRule) {
    const QSizeF box =
        MeasureText(MakeFont(QStringLiteral("宋体"), 300), QStringLiteral("新建图片"));
    const int expected =
        static_cast<int>((box.height() / (box.width() / 400)) * 0.8333333333333334);
    EXPECT_EQ(PlaceholderFontSize(QStringLiteral("新建图片"), 400, 300), expected);
    EXPECT_GT(expected, 60);
    EXPECT_LT(expected, 100);
    EXPECT_EQ(PlaceholderFontSize(QString(), 1, 56), 0);
}

TEST(Placeholder, TextIsAboutFiveSixthsWideAndCentredVertically) {
    const QImage image =
        MakePlaceholder(QStringLiteral("新建图片"), 400, 300, Qt::white, Qt::black);
    ASSERT_EQ(image.size(), QSize(400, 300));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    const QRect ink = Ink(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GT(ink.width(), 400 * 0.65);
    EXPECT_LT(ink.width(), 400 * 0.95);
    EXPECT_LT(ink.left(), 20);
    EXPECT_NEAR(ink.center().y(), 150, 30);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));  // opaque black background
}

TEST(Placeholder, TextColourIsKept) {
    const QImage green =
        MakePlaceholder(QStringLiteral("新建动画"), 400, 300, QColor(0, 255, 0), Qt::black);
    bool sawFull = false;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const QRgb p = green.pixel(x, y);
            ASSERT_EQ(qRed(p), 0);
            ASSERT_EQ(qBlue(p), 0);
            sawFull |= qGreen(p) == 255;
        }
    EXPECT_TRUE(sawFull);
}

TEST(Placeholder, NarrowPictureIsPlainBackgroundAndEmptyTextDrawsBlank) {
    const QImage interval = MakePlaceholder(QString(), 1, 56, Qt::black, Qt::black);
    EXPECT_EQ(interval.size(), QSize(1, 56));
    EXPECT_TRUE(Ink(interval).isEmpty());
    EXPECT_EQ(MakePlaceholder(QString(), 200, 100, Qt::white, Qt::black),
              MakePlaceholder(QStringLiteral("空白"), 200, 100, Qt::white, Qt::black));
}
