// SPDX-License-Identifier: GPL-3.0-or-later
// GIF animations to LED frames and packed columns.
#include <gtest/gtest.h>

#include "led/AnimationConverter.h"
#include "led/FrameSampling.h"
#include "led/GifWriter.h"
#include "support/GifBuilder.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"
#include "support/WebpBuilder.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

QString WriteGif(const TempDir& dir, const QString& name, int frames, QSize size,
                 const std::vector<int>& delays) {
    std::vector<QImage> images;
    for (int f = 0; f < frames; ++f) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(f % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        images.push_back(image);
    }
    QByteArray bytes;
    EXPECT_TRUE(EncodeGif(images, delays, 0, &bytes));
    return dir.Write(name, bytes);
}

}  // namespace

TEST(AnimationConverter, StillGifIsOneFrameWithoutDelays) {
    TempDir dir;
    CAnimationConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteGif(dir, "still.gif", 1, QSize(56, 56), {7})));
    EXPECT_EQ(converter.FrameCount(), 1);
    EXPECT_EQ(converter.Delays()[0], 0);
    ASSERT_TRUE(converter.Convert({1, 0}, nullptr));
    EXPECT_EQ(converter.Packed().frames * converter.Packed().width * converter.Packed().columnBytes,
              56 * 21);
}

TEST(AnimationConverter, SixtyFramesAreCutToFifty) {
    TempDir dir;
    std::vector<int> delays(60);
    for (int k = 0; k < 60; ++k) delays[k] = k + 1;
    CAnimationConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteGif(dir, "long.gif", 60, QSize(28, 56), delays)));
    EXPECT_EQ(converter.FrameCount(), 50);
    ASSERT_EQ(converter.Delays().size(), 50u);
    EXPECT_EQ(converter.Delays()[0], 10);
    EXPECT_EQ(converter.Delays()[49], 500);
}

TEST(AnimationConverter, DelaysInHundredthsBecomeMilliseconds) {
    TempDir dir;
    CAnimationConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteGif(dir, "d.gif", 3, QSize(56, 56), {5, 0, 1})));
    EXPECT_EQ(converter.Delays()[0], 50);
    EXPECT_EQ(converter.Delays()[1], 0);  // as stored, not the decoder's rewrite
    EXPECT_EQ(converter.Delays()[2], 10);
}

TEST(AnimationConverter, WebpFramesKeepTheirDelaysInWholeHundredths) {
    TempDir dir;
    QImage still(112, 56, QImage::Format_RGB32);
    still.fill(Qt::white);
    ASSERT_TRUE(still.save(dir.File("still.webp"), "webp"));
    const struct {
        QString file;
        std::vector<int> delays;  // milliseconds, as the converter gives them
    } cases[] = {
        {WriteAnimatedWebp(dir, "a.webp", GreyFrames(3, QSize(112, 56), 0, 100), {34, 125, 2000}),
         {30, 130, 2000}},
        {WriteAnimatedWebp(dir, "two.webp", GreyFrames(2, QSize(112, 56), 10, 200), {10, 10}),
         {10, 10}},
        {dir.File("still.webp"), {0}},
    };
    for (const auto& c : cases) {
        CAnimationConverter converter;
        ASSERT_TRUE(converter.LoadFile(c.file)) << converter.LoadError().toStdString();
        ASSERT_EQ(converter.FrameCount(), static_cast<int>(c.delays.size()));
        EXPECT_EQ(converter.Width(), 112);
        for (size_t k = 0; k < c.delays.size(); ++k)
            EXPECT_EQ(converter.Delays()[k], c.delays[k]) << c.file.toStdString() << " " << k;
        ASSERT_TRUE(converter.Convert({1, 0}, nullptr));
        EXPECT_EQ(converter.Packed().frames, converter.FrameCount());
    }
}

TEST(AnimationConverter, FourSquareFramesPerLayer) {
    TempDir dir;
    const QString gif = WriteGif(dir, "sq.gif", 4, QSize(112, 112), {10, 10, 10, 10});
    for (const auto& [ball, bytes] :
         {std::pair{BallConfig{1, 0}, 4704}, std::pair{BallConfig{2, 1}, 3136},
          std::pair{BallConfig{2, 0}, 4704}}) {
        const QString data = dir.Write("data.bin", QByteArray());
        CAnimationConverter converter;
        ASSERT_TRUE(converter.LoadFile(gif));
        EXPECT_EQ(converter.Width(), 56);
        ASSERT_TRUE(converter.Convert(ball, nullptr));
        ASSERT_TRUE(converter.AppendData(data, nullptr));
        const QByteArray written = ReadAll(data);
        ASSERT_EQ(written.size(), bytes);
        // Frames alternate black (all bits set) and white (all clear).
        const int frame = bytes / 4;
        EXPECT_EQ(written.left(frame), QByteArray(frame, '\xFF'));
        EXPECT_EQ(written.mid(frame, frame), QByteArray(frame, '\0'));
    }
}

TEST(AnimationConverter, UnknownBallTypeWarnsPerFrameAndPacksNothing) {
    TempDir dir;
    RecordingSink sink;
    CAnimationConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteGif(dir, "a.gif", 3, QSize(56, 56), {1, 1, 1})));
    ASSERT_TRUE(converter.Convert({0, 0}, &sink));
    EXPECT_EQ(sink.texts, QStringList(3, QStringLiteral("映射错误！")));
    const PackedColumns packed = converter.Packed();
    for (int k = 0; k < packed.frames * packed.width * packed.columnBytes; ++k)
        ASSERT_EQ(packed.data[k], 0);
}

TEST(AnimationConverter, ConvertFrameForTheViewOnly) {
    TempDir dir;
    CAnimationConverter converter;
    EXPECT_FALSE(converter.ConvertFrame(0));
    ASSERT_TRUE(converter.LoadFile(WriteGif(dir, "v.gif", 2, QSize(56, 56), {1, 1})));
    EXPECT_TRUE(converter.ConvertFrame(1));
    EXPECT_EQ(converter.LedFrame().pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_FALSE(converter.ConvertFrame(2));
    EXPECT_FALSE(converter.Converted());
    EXPECT_FALSE(converter.SaveLedPreview(dir.File("led.jpg")));
    converter.Convert({1, 0}, nullptr);
    EXPECT_TRUE(converter.SaveLedPreview(dir.File("led.jpg")));
}

TEST(AnimationConverter, MissingOrBrokenGif) {
    TempDir dir;
    CAnimationConverter converter;
    EXPECT_FALSE(converter.LoadFile(dir.File("none.gif")));
    EXPECT_FALSE(converter.LoadFile(dir.Write("bad.gif", "GIF89a")));
    EXPECT_FALSE(converter.Convert({1, 0}, nullptr));
}

TEST(AnimationConverter, FrameTooWideForTheIndexIsRefused) {
    TempDir dir;
    CAnimationConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteGif(dir, "fits.gif", 2, QSize(1170, 1), {1, 1})));
    EXPECT_EQ(converter.Width(), 65520);
    EXPECT_FALSE(converter.LoadFile(WriteGif(dir, "wide.gif", 2, QSize(1171, 1), {1, 1})));
    EXPECT_FALSE(converter.Loaded());
    EXPECT_EQ(converter.Width(), 0);
    EXPECT_TRUE(converter.LoadError().contains(QStringLiteral("65576")))
        << converter.LoadError().toStdString();
}

TEST(AnimationConverter, FramesThatCannotBeDecodedGiveAReason) {
    TempDir dir;
    const QByteArray whole = ReadAll(WriteGif(dir, "whole.gif", 2, QSize(56, 56), {1, 1}));
    CAnimationConverter converter;
    // Everything up to the first image's descriptor, but no raster.
    EXPECT_FALSE(converter.LoadFile(dir.Write("cut.gif", whole.left(whole.indexOf(',') + 10))));
    EXPECT_FALSE(converter.LoadError().isEmpty());
    EXPECT_FALSE(converter.LoadFile(dir.File("absent.gif")));
}

namespace {

// Palette of the composition cases: index 5 is the transparent colour when
// a case has one (magenta shows where it was wrongly drawn opaque).
const QRgb Black = qRgb(0, 0, 0), Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0),
           White = qRgb(255, 255, 255), Blue = qRgb(0, 0, 255), Magenta = qRgb(255, 0, 255),
           Yellow = qRgb(255, 255, 0), Cyan = qRgb(0, 255, 255);
const std::vector<QRgb> GlobalPalette = {Black, Red, Green, White, Blue, Magenta};
const std::vector<QRgb> LocalPalette = {Black, Red, Yellow, White, Cyan, Magenta};

struct Composition {
    int disposal;      // of the patch frame
    bool transparent;  // the patch's corner pixel is the transparent index
    bool interlaced;
    bool localPalette;
};

// A 56 × 56 GIF (W = 56: frames are not resampled) of three frames: all red;
// an 8 × 8 patch at (8, 8) of rows alternately green and blue with its corner
// pixel index 5; a small green square at (40, 40) that covers neither.
QByteArray CompositionGif(const Composition& c) {
    using namespace glowdeck::test;
    GifFrameSpec ground = FilledFrame(0, 0, 56, 56, 1);
    ground.disposal = 1;
    GifFrameSpec patch = FilledFrame(8, 8, 8, 8, 2);
    for (int y = 1; y < 8; y += 2)
        for (int x = 0; x < 8; ++x) patch.pixels[static_cast<size_t>(y) * 8 + x] = 4;
    patch.pixels[0] = 5;
    patch.disposal = c.disposal;
    patch.transparent = c.transparent ? 5 : -1;
    patch.interlaced = c.interlaced;
    if (c.localPalette) patch.localPalette = LocalPalette;
    GifFrameSpec last = FilledFrame(40, 40, 4, 4, 2);
    return BuildGif(56, 56, GlobalPalette, 0, {ground, patch, last});
}

QRgb ColourAt(CAnimationConverter& converter, int frame, int x, int y) {
    EXPECT_TRUE(converter.ConvertFrame(frame));
    return converter.ColourPreview().pixel(x, y) | 0xFF000000u;
}

}  // namespace

TEST(AnimationConverter, FramesAreComposedWithDisposalAndTransparencyDark) {
    TempDir dir;
    for (int disposal = 0; disposal <= 3; ++disposal)
        for (const bool transparent : {false, true})
            for (const bool interlaced : {false, true})
                for (const bool local : {false, true}) {
                    const Composition c{disposal, transparent, interlaced, local};
                    const std::string name = "disposal " + std::to_string(disposal) +
                                             (transparent ? " transparent" : "") +
                                             (interlaced ? " interlaced" : "") +
                                             (local ? " local palette" : "");
                    CAnimationConverter converter;
                    ASSERT_TRUE(converter.LoadFile(dir.Write("c.gif", CompositionGif(c)))) << name;
                    ASSERT_EQ(converter.FrameCount(), 3) << name;
                    ASSERT_EQ(converter.Width(), 56) << name;
                    const QRgb even = local ? Yellow : Green, odd = local ? Cyan : Blue;
                    // The patch frame: rows in order whether interlaced or not; the
                    // transparent corner shows the red frame beneath.
                    EXPECT_EQ(ColourAt(converter, 1, 12, 10), even) << name;
                    EXPECT_EQ(ColourAt(converter, 1, 12, 11), odd) << name;
                    EXPECT_EQ(ColourAt(converter, 1, 12, 15), odd) << name;
                    EXPECT_EQ(ColourAt(converter, 1, 8, 8), transparent ? Red : Magenta) << name;
                    EXPECT_EQ(ColourAt(converter, 1, 30, 30), Red) << name;
                    // The next frame after the patch is disposed of.
                    QRgb inside = even, corner = transparent ? Red : Magenta;
                    if (disposal == 2)
                        inside = corner = Black;  // background (index 0) or cleared: dark
                    if (disposal == 3) inside = corner = Red;  // what was there before the patch
                    EXPECT_EQ(ColourAt(converter, 2, 12, 12), inside) << name;
                    EXPECT_EQ(ColourAt(converter, 2, 8, 8), corner) << name;
                    EXPECT_EQ(ColourAt(converter, 2, 41, 41), Green) << name;
                    EXPECT_EQ(ColourAt(converter, 2, 30, 30), Red) << name;
                }
}

TEST(AnimationConverter, RestoredBackgroundCompilesToDarkLeds) {
    TempDir dir;
    CAnimationConverter converter;
    ASSERT_TRUE(converter.LoadFile(dir.Write("c.gif", CompositionGif({2, true, false, false}))));
    // Threshold 0: only full channels light; a lit restored area would be white.
    converter.SetThreshold(0xFF010101);
    ASSERT_TRUE(converter.ConvertFrame(2));
    EXPECT_EQ(converter.LedFrame().pixel(8, 8) | 0xFF000000u, qRgb(0, 0, 0));
    EXPECT_EQ(converter.LedFrame().pixel(12, 12) | 0xFF000000u, qRgb(0, 0, 0));
    EXPECT_EQ(converter.LedFrame().pixel(30, 30) | 0xFF000000u, qRgb(255, 0, 0));
}

TEST(AnimationConverter, FramesDitherIndependentlyOfEachOther) {
    // The same grey after a white and after a black frame: no error may be
    // carried from one frame into the next.
    const auto filled = [](QRgb colour) {
        QImage image(30, 56, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    };
    const QImage grey = filled(qRgb(100, 128, 160));
    TempDir dir;
    QByteArray bytes;
    ASSERT_TRUE(EncodeGif({grey, filled(qRgb(255, 255, 255)), grey, filled(qRgb(0, 0, 0)), grey},
                          {5, 5, 5, 5, 5}, 0, &bytes));
    CAnimationConverter converter;
    ASSERT_TRUE(converter.LoadFile(dir.Write("g.gif", bytes)));
    converter.SetDither(true);
    ASSERT_TRUE(converter.Convert({1, 0}, nullptr));
    const PackedColumns packed = converter.Packed();
    const int frameBytes = packed.width * packed.columnBytes;
    const QByteArray all(reinterpret_cast<const char*>(packed.data), packed.frames * frameBytes);
    const QByteArray first = all.left(frameBytes);
    EXPECT_EQ(all.mid(2 * frameBytes, frameBytes), first);
    EXPECT_EQ(all.mid(4 * frameBytes, frameBytes), first);
    EXPECT_NE(first, QByteArray(frameBytes, '\0'));  // dithered, not all lit as thresholded
    EXPECT_NE(first, QByteArray(frameBytes, '\xFF'));
    // The view's single frame is the same picture as the compiled one.
    const QImage compiled = converter.LedFrame();
    ASSERT_TRUE(converter.ConvertFrame(4));
    EXPECT_EQ(converter.LedFrame(), compiled);
}

namespace {

// A composition case: a 56 × 56 GIF over the global palette, and colours
// expected at points of composed frames (as browsers show them; dark where
// nothing is drawn).
struct Expected {
    int frame, x, y;
    QRgb colour;
};
struct BrowserCase {
    const char* name;
    int background;  // the screen's background colour index
    std::vector<GifFrameSpec> frames;
    std::vector<Expected> expected;
};

GifFrameSpec Frame(int left, int top, int size, std::uint8_t index, int disposal,
                   int transparent = -1) {
    GifFrameSpec frame = FilledFrame(left, top, size, size, index);
    frame.disposal = disposal;
    frame.transparent = transparent;
    return frame;
}

}  // namespace

TEST(AnimationConverter, FramesAreComposedAsBrowsersShowThem) {
    // Palette: 0 black, 1 red, 2 green, 3 white, 4 blue, 5 magenta.
    const BrowserCase cases[] = {
        {"restore to background without a transparent colour clears to dark, "
         "not to the background index",
         3,
         {Frame(0, 0, 56, 1, 1), Frame(8, 8, 8, 2, 2), Frame(40, 40, 4, 4, 1)},
         {{1, 10, 10, Green}, {2, 10, 10, Black}, {2, 30, 30, Red}, {2, 41, 41, Blue}}},
        {"restore to previous on the first frame leaves dark",
         3,
         {Frame(8, 8, 8, 2, 3), Frame(40, 40, 4, 4, 1)},
         {{0, 10, 10, Green}, {0, 30, 30, Black}, {1, 10, 10, Black}, {1, 41, 41, Blue}}},
        {"a partial first frame without transparency leaves the rest dark",
         1,
         {Frame(8, 8, 8, 2, 1), Frame(40, 40, 4, 4, 1)},
         {{0, 30, 30, Black}, {1, 10, 10, Green}, {1, 30, 30, Black}}},
        {"a frame partly outside the screen is clipped, and so is its clearing",
         3,
         {Frame(0, 0, 56, 1, 1), Frame(48, 48, 16, 2, 2), Frame(0, 0, 2, 4, 1)},
         {{1, 50, 50, Green},
          {1, 55, 55, Green},
          {1, 47, 47, Red},
          {2, 50, 50, Black},
          {2, 47, 47, Red}}},
        {"a frame wholly outside the screen draws nothing and still counts",
         3,
         {Frame(0, 0, 56, 1, 1), Frame(60, 0, 8, 2, 2), Frame(0, 0, 2, 4, 1)},
         {{1, 55, 0, Red}, {2, 55, 0, Red}, {2, 0, 0, Blue}}},
    };
    TempDir dir;
    for (const BrowserCase& c : cases) {
        CAnimationConverter converter;
        ASSERT_TRUE(converter.LoadFile(
            dir.Write("b.gif", BuildGif(56, 56, GlobalPalette, c.background, c.frames))))
            << c.name;
        ASSERT_EQ(converter.FrameCount(), static_cast<int>(c.frames.size())) << c.name;
        for (const Expected& e : c.expected)
            EXPECT_EQ(ColourAt(converter, e.frame, e.x, e.y), e.colour)
                << c.name << ": frame " << e.frame << " at " << e.x << "," << e.y;
    }
}

TEST(FrameSampling, SamplesKeepTheRunningTimeOrSpreadByPosition) {
    const auto frames = [](const std::vector<FrameSample>& samples) {
        std::vector<int> out;
        for (const FrameSample& s : samples) out.push_back(s.frame);
        return out;
    };
    const auto delays = [](const std::vector<FrameSample>& samples) {
        std::vector<int> out;
        for (const FrameSample& s : samples) out.push_back(s.delay);
        return out;
    };
    const struct {
        const char* name;
        std::vector<int> source;
        int count;
        std::vector<int> frames, delays;
    } cases[] = {
        {"no running time: spread by position",
         std::vector<int>(10, 0),
         4,
         {0, 2, 5, 7},
         {0, 0, 0, 0}},
        {"a long first frame is shown for its share of the time",
         {30, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
         4,
         {0, 0, 0, 1},
         {10, 10, 10, 10}},
        {"fewer frames than asked: kept as they are", {5, 7}, 3, {0, 1}, {5, 7}},
    };
    for (const auto& c : cases) {
        const std::vector<FrameSample> samples = SampleFramesEvenly(c.source, c.count);
        EXPECT_EQ(frames(samples), c.frames) << c.name;
        EXPECT_EQ(delays(samples), c.delays) << c.name;
    }
}
