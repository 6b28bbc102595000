// SPDX-License-Identifier: GPL-3.0-or-later
// Error diffusion of LED images: levels kept on average, thresholds keep
// their meaning, pure colours stay pure.
#include <gtest/gtest.h>

#include <QStringList>

#include "led/Dither.h"
#include "led/Threshold.h"

using namespace glowdeck;

namespace {

QImage Filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Share of the pixels whose channel (0 red, 1 green, 2 blue) is lit.
double LitShare(const QImage& led, int channel, QRect area = QRect()) {
    if (area.isNull()) area = led.rect();
    int lit = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = led.pixel(x, y);
            lit += (channel == 0 ? qRed(p) : channel == 1 ? qGreen(p) : qBlue(p)) == 255;
        }
    return static_cast<double>(lit) / (area.width() * area.height());
}

// The red channel drawn as text: '#' lit, '.' dark.
QStringList Drawn(const QImage& led) {
    QStringList rows;
    for (int y = 0; y < led.height(); ++y) {
        QString row;
        for (int x = 0; x < led.width(); ++x)
            row += qRed(led.pixel(x, y)) == 255 ? QLatin1Char('#') : QLatin1Char('.');
        rows << row;
    }
    return rows;
}

const QRgb kDefault = ThresholdColour(128, 128, 128);

}  // namespace

TEST(Dither, MidGreyLightsAboutHalfOfEachChannel) {
    const QImage led = DitherImage(Filled(74, 56, qRgb(128, 128, 128)), kDefault);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(LitShare(led, c), 0.5, 0.02) << "channel " << c;
    // The plain threshold lights all of it (128 ≥ 127).
    EXPECT_EQ(LitShare(ThresholdImage(Filled(74, 56, qRgb(128, 128, 128)), kDefault), 0), 1.0);
}

TEST(Dither, FlatFieldsGiveTheEvenPatterns) {
    EXPECT_EQ(Drawn(DitherImage(Filled(16, 4, qRgb(128, 128, 128)), kDefault)),
              QStringList({"#.#.#.#.#.#.#.#.", ".#.#.#.#.#.#.#.#", "#.#.#.#.#.#.#.#.",
                           ".#.#.#.#.#.#.#.#"}));
    EXPECT_EQ(Drawn(DitherImage(Filled(16, 4, qRgb(64, 64, 64)), kDefault)),
              QStringList({"................", "#.#.#.#.#.#.#.#.", "...............#",
                           ".#.#.#.#.#.#.#.."}));
}

TEST(Dither, PureColoursStayPureAtEveryThreshold) {
    const QRgb pure[] = {qRgb(0, 0, 0),     qRgb(255, 0, 0),    qRgb(0, 255, 0),
                         qRgb(0, 0, 255),   qRgb(255, 255, 0),  qRgb(0, 255, 255),
                         qRgb(255, 0, 255), qRgb(255, 255, 255)};
    for (const QRgb colour : pure)
        for (const int slider : {0, 1, 128, 254, 255}) {
            const QImage led =
                DitherImage(Filled(20, 56, colour), ThresholdColour(slider, slider, slider));
            EXPECT_EQ(led, Filled(20, 56, colour).convertToFormat(QImage::Format_ARGB32))
                << std::hex << colour << std::dec << " at slider " << slider;
        }
}

TEST(Dither, HigherThresholdGivesADarkerResult) {
    const QImage grey = Filled(74, 56, qRgb(100, 100, 100));
    double previous = -1;
    // A higher slider value is a lower threshold: more lit.
    for (const int slider : {0, 60, 128, 200, 255}) {
        const double share =
            LitShare(DitherImage(grey, ThresholdColour(slider, slider, slider)), 0);
        EXPECT_GT(share, previous) << "slider " << slider;
        previous = share;
    }
    // A level at the threshold comes out half lit, whichever the threshold.
    for (const int level : {40, 200})
        EXPECT_NEAR(LitShare(DitherImage(Filled(74, 56, qRgb(level, level, level)),
                                         ThresholdColour(255 - level, 255 - level, 255 - level)),
                             1),
                    0.5, 0.02)
            << level;
}

TEST(Dither, EachChannelFollowsItsOwnThreshold) {
    const QImage grey = Filled(74, 56, qRgb(128, 128, 128));
    const QImage led = DitherImage(grey, ThresholdColour(40, 128, 220));
    EXPECT_LT(LitShare(led, 0), 0.4);
    EXPECT_NEAR(LitShare(led, 1), 0.5, 0.02);
    EXPECT_GT(LitShare(led, 2), 0.6);
}

TEST(Dither, GradientKeepsItsLevelAcrossThePicture) {
    // Red rises left to right, blue falls: each 16-column block lights about
    // as much as its mean level, so no error is lost or doubled on the way.
    QImage ramp(256, 56, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 56; ++y) ramp.setPixel(x, y, qRgb(x, 128, 255 - x));
    const QImage led = DitherImage(ramp, kDefault);
    for (int block = 0; block < 16; ++block) {
        const QRect area(block * 16, 0, 16, 56);
        const double level = (block * 16 + 7.5) / 255.0;
        EXPECT_NEAR(LitShare(led, 0, area), level, 0.05) << "block " << block;
        EXPECT_NEAR(LitShare(led, 2, area), 1.0 - level, 0.05) << "block " << block;
    }
}

TEST(Dither, AlphaIsKeptAndEmptyPicturesStayEmpty) {
    QImage half(8, 56, QImage::Format_ARGB32);
    half.fill(qRgba(255, 0, 255, 128));
    const QImage led = DitherImage(half, kDefault);
    EXPECT_EQ(led.pixel(3, 30), qRgba(255, 0, 255, 128));
    EXPECT_TRUE(DitherImage(QImage(0, 56, QImage::Format_ARGB32), kDefault).isNull());
}
