// GIF animations to LED frames and packed columns.
#include <gtest/gtest.h>

#include "led/AnimationConverter.h"
#include "led/GifWriter.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

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
    EXPECT_EQ(converter.Packed().frames * converter.Packed().width * converter.Packed().columnBytes, 56 * 21);
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

TEST(AnimationConverter, FourSquareFramesPerLayer) {
    TempDir dir;
    const QString gif = WriteGif(dir, "sq.gif", 4, QSize(112, 112), {10, 10, 10, 10});
    for (const auto& [ball, bytes] : {std::pair{BallConfig{1, 0}, 4704}, std::pair{BallConfig{2, 1}, 3136},
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
    for (int k = 0; k < packed.frames * packed.width * packed.columnBytes; ++k) ASSERT_EQ(packed.data[k], 0);
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
