// SPDX-License-Identifier: GPL-3.0-or-later
// Still pictures to LED images and packed columns.
#include <gtest/gtest.h>

#include <QFile>

#include "led/ImageCodec.h"
#include "led/PictureConverter.h"
#include "led/Threshold.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

QString WriteBmp(const TempDir& dir, const QString& name, const QImage& image) {
    const QString path = dir.File(name);
    EXPECT_TRUE(EncodeImage(image, path, QStringLiteral("image/bmp")));
    return path;
}

QImage Filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

}  // namespace

TEST(PictureConverter, WidthFollowsTheSourceShape) {
    EXPECT_EQ(LedWidthFor(QSize(400, 300)), 74);
    EXPECT_EQ(LedWidthFor(QSize(300, 56)), 300);
    EXPECT_EQ(LedWidthFor(QSize(1, 1000)), 0);
    EXPECT_EQ(LedWidthFor(QSize(1600, 1200)), 74);
    TempDir dir;
    CPictureConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteBmp(dir, "a.bmp", Filled(400, 300, qRgb(1, 2, 3)))));
    EXPECT_EQ(converter.Width(), 74);
    EXPECT_EQ(converter.ResizedImage().size(), QSize(74, 56));
    EXPECT_EQ(converter.previewRects[0], QRect(10, 10, 400, 300));
    EXPECT_EQ(converter.previewRects[1], QRect(10, 320, 74, 56));
}

TEST(PictureConverter, FiftySixRowSourceIsNotResampled) {
    TempDir dir;
    QImage stripes(300, 56, QImage::Format_RGB32);
    for (int x = 0; x < 300; ++x)
        for (int y = 0; y < 56; ++y)
            stripes.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    CPictureConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteBmp(dir, "s.bmp", stripes)));
    ASSERT_EQ(converter.Width(), 300);
    EXPECT_EQ(converter.ResizedImage().convertToFormat(QImage::Format_RGB32), stripes);
}

TEST(PictureConverter, ThresholdBoundaryAndSliderExtremes) {
    EXPECT_EQ(ThresholdColour(128, 128, 128), 0xFF7F7F7Fu);
    EXPECT_EQ(ThresholdColour(0, 0, 0), 0xFFFFFFFFu);
    const QImage grey = Filled(1, 56, qRgb(128, 128, 128));
    // Default threshold 0x80: 128 ≥ 128 lights every channel.
    EXPECT_EQ(ThresholdImage(grey, 0xFF808080).pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(ThresholdImage(Filled(1, 1, qRgb(127, 200, 128)), 0xFF808080).pixel(0, 0),
              qRgb(0, 255, 255));
    // Sliders at 0: only full channels light.
    EXPECT_EQ(ThresholdImage(Filled(1, 1, qRgb(254, 255, 0)), ThresholdColour(0, 0, 0)).pixel(0, 0),
              qRgb(0, 255, 0));
    EXPECT_EQ(
        ThresholdImage(Filled(1, 1, qRgb(0, 0, 0)), ThresholdColour(255, 255, 255)).pixel(0, 0),
        qRgb(255, 255, 255));
}

TEST(PictureConverter, ConvertPacksAndAppendsPerLayer) {
    TempDir dir;
    const QString source = WriteBmp(dir, "black.bmp", Filled(10, 56, qRgb(0, 0, 0)));
    const QString data = dir.Write("data.bin", "HEAD");
    CPictureConverter converter;
    RecordingSink sink;
    EXPECT_FALSE(converter.Convert({1, 0}));  // nothing loaded
    ASSERT_TRUE(converter.LoadFile(source));
    EXPECT_FALSE(converter.AppendData(data, &sink));  // not converted yet
    ASSERT_TRUE(converter.Convert({1, 0}));
    EXPECT_EQ(converter.GetProgress(), 50 + 50 * 9 / 10);
    ASSERT_TRUE(converter.AppendData(data, &sink));
    ASSERT_TRUE(converter.Convert({2, 1}));
    ASSERT_TRUE(converter.AppendData(data, &sink));
    EXPECT_EQ(ReadAll(data),
              QByteArray("HEAD") + QByteArray(210, '\xFF') + QByteArray(140, '\xFF'));
    EXPECT_TRUE(sink.texts.isEmpty());
}

TEST(PictureConverter, AppendNeverCreatesTheDataFile) {
    TempDir dir;
    CPictureConverter converter;
    RecordingSink sink;
    ASSERT_TRUE(converter.LoadFile(WriteBmp(dir, "p.bmp", Filled(56, 56, qRgb(9, 9, 9)))));
    converter.Convert({1, 0});
    EXPECT_FALSE(converter.AppendData(dir.File("missing.bin"), &sink));
    EXPECT_FALSE(QFile::exists(dir.File("missing.bin")));
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("数据文件未打开")});
}

TEST(PictureConverter, TallSourceGivesNoColumns) {
    TempDir dir;
    const QString data = dir.Write("data.bin", "X");
    CPictureConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteBmp(dir, "tall.bmp", Filled(1, 1000, qRgb(0, 0, 0)))));
    EXPECT_EQ(converter.Width(), 0);
    ASSERT_TRUE(converter.Convert({1, 0}));
    EXPECT_TRUE(converter.AppendData(data, nullptr));
    EXPECT_EQ(ReadAll(data), QByteArray("X"));
}

TEST(PictureConverter, MissingOrBrokenFilesDoNotLoad) {
    TempDir dir;
    CPictureConverter converter;
    EXPECT_FALSE(converter.LoadFile(dir.File("none.bmp")));
    EXPECT_FALSE(converter.LoadFile(dir.Write("junk.bmp", "junk")));
    EXPECT_FALSE(converter.Loaded());
}

TEST(PictureConverter, JpegNamedBmpAndLargeJpegDecodeReduced) {
    TempDir dir;
    const QString path = dir.File("big.bmp");
    ASSERT_TRUE(
        EncodeImage(Filled(1600, 1200, qRgb(250, 10, 10)), path, QStringLiteral("image/jpeg")));
    CPictureConverter converter;
    ASSERT_TRUE(converter.LoadFile(path));
    EXPECT_EQ(converter.Width(), 74);
    converter.Convert({1, 0});
    EXPECT_EQ(converter.LedImage().pixel(30, 30), qRgb(255, 0, 0));
}

TEST(PictureConverter, CutJpegStillLoadsAsQtDecodesIt) {
    // libjpeg only warns about the missing half; the converter then leaves
    // the picture to QImageReader, which shows the half that is there.
    TempDir dir;
    const QString whole = dir.File("whole.jpg");
    ASSERT_TRUE(
        EncodeImage(Filled(1600, 1200, qRgb(250, 10, 10)), whole, QStringLiteral("image/jpeg")));
    const QByteArray bytes = ReadAll(whole);
    CPictureConverter converter;
    ASSERT_TRUE(converter.LoadFile(dir.Write("cut.jpg", bytes.left(bytes.size() / 2))));
    EXPECT_TRUE(converter.LoadError().isEmpty());
    EXPECT_EQ(converter.Width(), 74);
    converter.Convert({1, 0});
    EXPECT_EQ(converter.LedImage().pixel(30, 2), qRgb(255, 0, 0));
}

TEST(PictureConverter, PreviewIsJpegAndOnlyAfterConvert) {
    TempDir dir;
    CPictureConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteBmp(dir, "p.bmp", Filled(56, 56, qRgb(0, 0, 0)))));
    EXPECT_FALSE(converter.SaveLedPreview(dir.File("led.bmp")));
    converter.Convert({1, 0});
    ASSERT_TRUE(converter.SaveLedPreview(dir.File("led.bmp")));
    EXPECT_TRUE(ReadAll(dir.File("led.bmp")).startsWith("\xFF\xD8"));
    converter.Release();
    EXPECT_FALSE(converter.Loaded());
    EXPECT_FALSE(converter.SaveLedPreview(dir.File("led2.bmp")));
}

TEST(PictureConverter, FittingToTheIndexShape) {
    TempDir dir;
    const QString data = dir.Write("data.bin", QByteArray());
    CPictureConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteBmp(dir, "w.bmp", Filled(3, 56, qRgb(255, 255, 255)))));
    converter.Convert({1, 0});
    const ColumnShape longer{1, 5}, shorter{1, 2};
    ASSERT_TRUE(converter.AppendData(data, nullptr, &longer));
    ASSERT_TRUE(converter.AppendData(data, nullptr, &shorter));
    EXPECT_EQ(ReadAll(data), QByteArray(63, '\0') + QByteArray(42, '\xFF') + QByteArray(42, '\0'));
}

TEST(PictureConverter, SourceTooWideForTheIndexIsRefusedBeforeDecoding) {
    TempDir dir;
    CPictureConverter converter;
    // 56 × 1170 = 65520 columns still fit; 56 × 1171 = 65576 do not.
    ASSERT_TRUE(Filled(1170, 1, qRgb(200, 200, 200)).save(dir.File("fits.png"), "PNG"));
    ASSERT_TRUE(converter.LoadFile(dir.File("fits.png")));
    EXPECT_EQ(converter.Width(), 65520);
    EXPECT_TRUE(converter.LoadError().isEmpty());
    ASSERT_TRUE(Filled(1171, 1, qRgb(200, 200, 200)).save(dir.File("wide.png"), "PNG"));
    EXPECT_FALSE(converter.LoadFile(dir.File("wide.png")));
    EXPECT_FALSE(converter.Loaded());
    EXPECT_TRUE(converter.LoadError().contains(QStringLiteral("65576")))
        << converter.LoadError().toStdString();
    // The header is whole, the picture data damaged: the width alone is
    // reason enough, nothing is decoded.
    ASSERT_TRUE(Filled(60000, 1, qRgb(1, 1, 1)).save(dir.File("huge.png"), "PNG"));
    QByteArray damaged = ReadAll(dir.File("huge.png"));
    for (int k = static_cast<int>(damaged.size()) - 30; k < damaged.size() - 20; ++k)
        damaged[k] = 0x55;
    EXPECT_FALSE(converter.LoadFile(dir.Write("damaged.png", damaged)));
    EXPECT_TRUE(converter.LoadError().contains(QStringLiteral("3360000")))
        << converter.LoadError().toStdString();
}

TEST(PictureConverter, TransparentPixelsAreDark) {
    TempDir dir;
    // Left half transparent white, right half opaque white: only the right lights.
    for (const int height : {56, 112}) {
        QImage image(height, height, QImage::Format_ARGB32);
        image.fill(qRgba(255, 255, 255, 0));
        for (int y = 0; y < height; ++y)
            for (int x = height / 2; x < height; ++x)
                image.setPixel(x, y, qRgba(255, 255, 255, 255));
        const QString path = dir.File(QStringLiteral("t%1.png").arg(height));
        ASSERT_TRUE(image.save(path, "PNG"));
        CPictureConverter converter;
        ASSERT_TRUE(converter.LoadFile(path));
        ASSERT_EQ(converter.Width(), 56);
        ASSERT_TRUE(converter.Convert({1, 0}));
        EXPECT_EQ(converter.LedImage().pixel(5, 30), qRgb(0, 0, 0)) << height;
        EXPECT_EQ(converter.LedImage().pixel(50, 30), qRgb(255, 255, 255)) << height;
    }
}

TEST(PictureConverter, DithersOnlyWhenAsked) {
    TempDir dir;
    CPictureConverter converter;
    ASSERT_TRUE(converter.LoadFile(WriteBmp(dir, "grey.bmp", Filled(40, 56, qRgb(128, 128, 128)))));
    // Lit LEDs are clear bits in the packed columns.
    auto litBits = [&] {
        const PackedColumns packed = converter.Packed();
        int lit = 0;
        for (int k = 0; k < packed.width * packed.columnBytes; ++k)
            for (int bit = 0; bit < 8; ++bit) lit += !(packed.data[k] >> bit & 1);
        return lit;
    };
    const int all = 40 * 56 * 3;
    ASSERT_TRUE(converter.Convert({1, 0}));
    EXPECT_EQ(litBits(), all);
    converter.SetDither(true);
    ASSERT_TRUE(converter.Convert({1, 0}));
    EXPECT_NEAR(litBits(), all / 2, all / 50);
    EXPECT_EQ(converter.GetProgress(), 50 + 50 * 39 / 40);
    converter.SetDither(false);
    ASSERT_TRUE(converter.Convert({1, 0}));
    EXPECT_EQ(litBits(), all);
}
