// SPDX-License-Identifier: GPL-3.0-or-later
// The direct JPEG decoder: the very pixels QImageReader gives, and every file
// it does not decode that way left to QImageReader.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QImageWriter>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "led/ImageCodec.h"
#include "led/JpegDecoder.h"
#include "led/PictureConverter.h"
#include "support/ExifJpeg.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::TempDir;

namespace {

// Fine detail everywhere, so that any other IDCT, upsampling or scaling
// shows in the pixels.
QImage Photo(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    unsigned noise = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = static_cast<int>(noise >> 27);
            image.setPixel(
                x, y,
                qRgb((x * 255 / w + n) & 0xFF, (y * 255 / h + 2 * n) & 0xFF, ((x ^ y) + n) & 0xFF));
        }
    return image;
}

QByteArray QtJpeg(const QImage& image, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// libjpeg's own encoder, for what Qt does not write: other chroma sampling,
// RGB and CMYK coding (CMYK as Adobe writes it, which QImageReader reads
// back as the same colours: inverted ink, no black).
QByteArray LibjpegJpeg(const QImage& image, J_COLOR_SPACE stored, int hSampling, int vSampling) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    const bool cmyk = stored == JCS_CMYK;
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = cmyk ? 4 : 3;
    info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, stored);
    info.comp_info[0].h_samp_factor = hSampling;
    info.comp_info[0].v_samp_factor = vSampling;
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(image.width()) * info.input_components);
    while (info.next_scanline < info.image_height) {
        unsigned char* p = row.data();
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, static_cast<int>(info.next_scanline));
            const int rgb[3] = {qRed(c), qGreen(c), qBlue(c)};
            for (int v : rgb) *p++ = static_cast<unsigned char>(v);
            if (cmyk) *p++ = 255;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    std::free(out);
    return bytes;
}

// Where the segment of `marker` starts (its 0xFF byte), or -1.
qsizetype Segment(const QByteArray& jpeg, unsigned char marker) {
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        if (uchar(jpeg[at + 1]) == marker) return at;
        at += 2 + (uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]));
    }
    return -1;
}

// The JPEG with an EXIF block (little-endian TIFF) recording `orientation`.
QByteArray WithOrientation(QByteArray jpeg, int orientation) {
    const unsigned char tiff[] = {'I',
                                  'I',
                                  0x2A,
                                  0,
                                  8,
                                  0,
                                  0,
                                  0,
                                  1,
                                  0,
                                  0x12,
                                  0x01,
                                  3,
                                  0,
                                  1,
                                  0,
                                  0,
                                  0,
                                  static_cast<unsigned char>(orientation),
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0};
    QByteArray exif =
        QByteArray("Exif\0\0", 6) + QByteArray(reinterpret_cast<const char*>(tiff), sizeof(tiff));
    const int length = static_cast<int>(exif.size()) + 2;
    exif.prepend(QByteArray::fromHex("FFE1") + char(length >> 8) + char(length & 0xFF));
    return jpeg.insert(2, exif);
}

QImage ReadWithQt(const QString& path, const QSize& scaled) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (scaled.isValid()) reader.setScaledSize(scaled);
    return reader.read();
}

void ExpectSamePixels(const QImage& direct, const QImage& qt, const std::string& what) {
    ASSERT_FALSE(qt.isNull()) << what;
    ASSERT_EQ(direct.size(), qt.size()) << what;
    ASSERT_EQ(direct.format(), qt.format()) << what;
    const size_t rowBytes = static_cast<size_t>(qt.width()) * qt.depth() / 8;
    int rowsDiffering = 0;
    for (int y = 0; y < qt.height(); ++y)
        rowsDiffering += std::memcmp(direct.constScanLine(y), qt.constScanLine(y), rowBytes) != 0;
    EXPECT_EQ(rowsDiffering, 0) << what;
    EXPECT_EQ(direct.colorSpace(), qt.colorSpace()) << what;
    EXPECT_EQ(direct.dotsPerMeterX(), qt.dotsPerMeterX()) << what;
}

}  // namespace

TEST(JpegDecoder, GivesExactlyTheScaledPixelsOfQImageReader) {
    TempDir dir;
    QImage tagged = Photo(1001, 667);
    tagged.setColorSpace(QColorSpace::SRgb);  // written as an ICC profile
    tagged.setDotsPerMeterX(11811);
    tagged.setDotsPerMeterY(11811);
    QImage gray = Photo(640, 480).convertToFormat(QImage::Format_Grayscale8);
    const QImage photo = Photo(1600, 1200);
    struct Case {
        const char* name;
        QByteArray jpeg;
        std::vector<QSize> sizes;
    };
    // 1600 × 1200 to these sizes takes libjpeg scales 1/8, 2/8 (exact),
    // 3/8, 5/8 (exact), 6/8, 8/8 and 8/8 enlarged, then Qt's smooth scaling.
    const Case cases[] = {
        {"4:2:0 from Qt",
         QtJpeg(photo),
         {QSize(), QSize(149, 112), QSize(400, 300), QSize(500, 375), QSize(1000, 750),
          QSize(1100, 825), QSize(1599, 1199), QSize(2000, 1500)}},
        {"odd size with ICC profile and density", QtJpeg(tagged), {QSize(), QSize(123, 82)}},
        {"grayscale", QtJpeg(gray), {QSize(), QSize(100, 75), QSize(149, 112)}},
        {"progressive", QtJpeg(photo, true), {QSize(), QSize(149, 112), QSize(700, 525)}},
        {"4:4:4", LibjpegJpeg(photo, JCS_YCbCr, 1, 1), {QSize(149, 112), QSize(900, 675)}},
        {"4:2:2", LibjpegJpeg(photo, JCS_YCbCr, 2, 1), {QSize(149, 112), QSize(300, 225)}},
        {"RGB coded", LibjpegJpeg(photo, JCS_RGB, 1, 1), {QSize(), QSize(149, 112)}},
    };
    for (const Case& c : cases) {
        const QString path = dir.Write(QString::fromLatin1(c.name) + ".jpg", c.jpeg);
        for (const QSize& size : c.sizes) {
            const std::string what = std::string(c.name) + " at " + std::to_string(size.width()) +
                                     "x" + std::to_string(size.height());
            CJpegDecoder decoder;
            ASSERT_TRUE(decoder.Open(path)) << what;
            EXPECT_EQ(decoder.Size(), QImageReader(path).size()) << what;
            ExpectSamePixels(decoder.Read(size), ReadWithQt(path, size), what);
        }
    }
}

TEST(JpegDecoder, LeavesOtherFilesToQImageReader) {
    TempDir dir;
    const QImage photo = Photo(320, 240);
    const QByteArray jpeg = QtJpeg(photo);
    const QString cmyk = dir.Write("cmyk.jpg", LibjpegJpeg(photo, JCS_CMYK, 1, 1));
    // An orientation EXIF does not define: QImageReader's reading of it holds.
    const QString undefined = dir.Write("undefined.jpg", WithOrientation(jpeg, 9));
    const QString bmp = dir.File("picture.jpg");
    ASSERT_TRUE(EncodeImage(photo, bmp, QStringLiteral("image/bmp")));
    for (const QString& path : {cmyk, undefined, bmp}) {
        CJpegDecoder decoder;
        EXPECT_FALSE(decoder.Open(path)) << path.toStdString();
        const QImage viaCodec = DecodeImageScaled(path, QSize(100, 100));
        ASSERT_FALSE(viaCodec.isNull()) << path.toStdString();
        EXPECT_EQ(viaCodec, ReadWithQt(path, QSize(100, 75))) << path.toStdString();
    }
}

// A phone's photo is shown turned by its EXIF orientation, by the direct
// decoder (checked against QImageReader with autoTransform) and by
// QImageReader itself (CMYK, which the direct decoder leaves to it).
TEST(JpegDecoder, EveryExifOrientationIsShownAsViewersShowIt) {
    TempDir dir;
    // 64 × 32 as stored: a red top-left corner, a green top-right one.
    QImage stored(64, 32, QImage::Format_RGB32);
    stored.fill(Qt::white);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            stored.setPixel(x, y, qRgb(255, 0, 0));
            stored.setPixel(63 - x, y, qRgb(0, 255, 0));
        }
    enum Corner { TL, TR, BL, BR };
    const struct {
        int orientation;
        bool turned;
        Corner red, green;
    } cases[] = {{1, false, TL, TR}, {2, false, TR, TL}, {3, false, BR, BL}, {4, false, BL, BR},
                 {5, true, TL, BL},  {6, true, TR, BR},  {7, true, BR, TR},  {8, true, BL, TL}};
    auto colourAt = [](const QImage& image, Corner c) {
        const QColor colour = image.pixelColor(c == TR || c == BR ? image.width() - 3 : 2,
                                               c == BL || c == BR ? image.height() - 3 : 2);
        return colour.red() > 200 && colour.green() < 60   ? QStringLiteral("red")
               : colour.green() > 200 && colour.red() < 60 ? QStringLiteral("green")
                                                           : colour.name();
    };
    for (const auto& c : cases) {
        const std::string what = "orientation " + std::to_string(c.orientation);
        const QSize shown = c.turned ? QSize(32, 64) : QSize(64, 32);
        const QString direct = dir.Write(QStringLiteral("o%1.jpg").arg(c.orientation),
                                         WithOrientation(QtJpeg(stored), c.orientation));
        const QString viaQt =
            dir.Write(QStringLiteral("cmyk%1.jpg").arg(c.orientation),
                      WithOrientation(LibjpegJpeg(stored, JCS_CMYK, 1, 1), c.orientation));
        for (const QSize& size : {QSize(), QSize(shown / 2)}) {
            CJpegDecoder decoder;
            ASSERT_TRUE(decoder.Open(direct)) << what;
            EXPECT_EQ(decoder.Size(), shown) << what;
            QImageReader qt(direct);
            qt.setAutoTransform(true);
            if (size.isValid()) qt.setScaledSize(c.turned ? size.transposed() : size);
            ExpectSamePixels(decoder.Read(size), qt.read(), what);
        }
        for (const QString& path : {direct, viaQt}) {
            const std::string where = what + " " + path.toStdString();
            EXPECT_EQ(ImageFileSize(path), shown) << where;
            CPictureConverter compiled;  // what compile converts
            ASSERT_TRUE(compiled.LoadFile(path)) << where;
            EXPECT_EQ(compiled.Width(), LedWidthFor(shown)) << where;
            const QImage half = DecodeImageScaled(path, shown / 2);
            EXPECT_EQ(half.size(), shown / 2) << where;
            for (const QImage& image : {DecodeImage(path), half}) {
                EXPECT_EQ(colourAt(image, c.red), "red") << where;
                EXPECT_EQ(colourAt(image, c.green), "green") << where;
            }
        }
    }
}

TEST(JpegDecoder, DamagedFilesNeverEndTheProgramAndFallBack) {
    TempDir dir;
    const QByteArray jpeg = QtJpeg(Photo(320, 240));
    // Cut in the middle of its pixels: libjpeg only warns, QImageReader
    // decodes what is there.
    const QString cut = dir.Write("cut.jpg", jpeg.left(jpeg.size() / 2));
    CJpegDecoder decoder;
    ASSERT_TRUE(decoder.Open(cut));
    EXPECT_TRUE(decoder.Read(QSize(80, 60)).isNull());
    const QImage qt = ReadWithQt(cut, QSize(80, 60));
    ASSERT_FALSE(qt.isNull());
    EXPECT_EQ(DecodeImageScaled(cut, QSize(80, 60)), qt);

    // A scan naming a Huffman table the file never defines: libjpeg fails
    // only when decoding starts.
    QByteArray undefinedTable = jpeg;
    const qsizetype sos = Segment(jpeg, 0xDA);
    ASSERT_GT(sos, 0);
    undefinedTable[sos + 6] = 0x33;
    const QString broken = dir.Write("broken.jpg", undefinedTable);
    ASSERT_TRUE(decoder.Open(broken));
    EXPECT_TRUE(decoder.Read(QSize()).isNull());
    QString error;
    EXPECT_TRUE(DecodeImageScaled(broken, QSize(80, 60), &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    // 60000 × 60000 pixels claimed by a small file: refused before any
    // pixel memory is taken, as QImageReader refuses it.
    QByteArray huge = jpeg;
    const qsizetype sof = Segment(jpeg, 0xC0);
    ASSERT_GT(sof, 0);
    huge.replace(sof + 5, 4, QByteArray::fromHex("EA60EA60"));
    const QString claimed = dir.Write("huge.jpg", huge);
    ASSERT_TRUE(decoder.Open(claimed));
    EXPECT_EQ(decoder.Size(), QSize(60000, 60000));
    EXPECT_TRUE(decoder.Read(QSize()).isNull());

    EXPECT_FALSE(decoder.Open(dir.Write("header.jpg", jpeg.left(40))));
    EXPECT_FALSE(decoder.Open(dir.File("missing.jpg")));
}

// Thumbnails come from the smallest libjpeg scale that still covers
// 100 × 75 as shown, or from the camera's embedded thumbnail when it has one
// that large, turned like the photo: a red mark at the shown top left.
TEST(JpegDecoder, ThumbnailsAreTheSmallestDecodeOrTheEmbeddedOneTurnedLikeThePhoto) {
    TempDir dir;
    auto marked = [](int w, int h, QColor fill) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(fill);
        for (int y = 0; y < h / 4; ++y)
            for (int x = 0; x < w / 4; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
        return image;
    };
    // Stored marks for each orientation, so that the shown top left is red.
    const QTransform undo[] = {QTransform(),
                               QTransform(),
                               QTransform().scale(-1, 1),
                               QTransform().rotate(180),
                               QTransform().scale(1, -1),
                               QTransform().rotate(-90).scale(1, -1),
                               QTransform().rotate(-90),
                               QTransform().rotate(-90).scale(-1, 1),
                               QTransform().rotate(90)};
    const struct {
        QSize shown;
        int orientation;
        bool embedded;
        QSize expected;  // as shown
    } cases[] = {
        {{1600, 1200}, 1, false, {200, 150}},  // 1/8
        {{640, 480}, 1, false, {160, 120}},    // 2/8
        {{300, 200}, 1, false, {113, 75}},     // 3/8
        {{90, 60}, 1, false, {90, 60}},        // smaller than a thumbnail: whole
        {{1200, 1600}, 6, false, {150, 200}},  // turned: the shown size counts
        {{1600, 1200}, 1, true, {160, 120}},   // the embedded one
        {{1600, 1200}, 3, true, {160, 120}},  {{1200, 1600}, 6, true, {120, 160}},
        {{1200, 1600}, 8, true, {120, 160}},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string what = std::to_string(c.shown.width()) + "x" +
                                 std::to_string(c.shown.height()) + " orientation " +
                                 std::to_string(c.orientation) + (c.embedded ? " embedded" : "");
        const QImage shown = marked(c.shown.width(), c.shown.height(), Qt::white);
        const QImage stored = shown.transformed(undo[c.orientation]);
        // The embedded thumbnail is blue where the photo is white.
        const QSize small = QuarterTurned(c.orientation) ? QSize(120, 160) : QSize(160, 120);
        const QByteArray thumbnail = c.embedded
                                         ? QtJpeg(marked(small.width(), small.height(), Qt::blue)
                                                      .transformed(undo[c.orientation]))
                                         : QByteArray();
        const QString path = dir.Write(QStringLiteral("t%1.jpg").arg(n++),
                                       test::WithExif(QtJpeg(stored), c.orientation, thumbnail));
        CJpegDecoder decoder;
        ASSERT_TRUE(decoder.Open(path)) << what;
        const QImage thumb = decoder.ReadThumbnail(QSize(100, 75));
        ASSERT_EQ(thumb.size(), c.expected) << what;
        const QColor corner = thumb.pixelColor(2, 2);
        EXPECT_TRUE(corner.red() > 200 && corner.blue() < 60) << what;
        const QColor middle = thumb.pixelColor(thumb.width() * 3 / 4, thumb.height() * 3 / 4);
        EXPECT_EQ(middle.blue() > 200 && middle.red() < 60, c.embedded) << what;
    }
}
