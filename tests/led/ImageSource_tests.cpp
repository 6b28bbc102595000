// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures in every PNG and BMP layout decode to the pixels they hold, and a
// file that cannot be used is refused with what is wrong with it.
#include <gtest/gtest.h>
#include <png.h>

#include <QtEndian>
#include <vector>

#include "led/ImageCodec.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::TempDir;

namespace {

constexpr int W = 5, H = 3;  // an odd width: rows need padding

// The test picture's colours: pixel (x, y) has colour (x + 2y) % levels.
// Colour 0, white, is the one a tRNS chunk makes transparent; grey layouts
// store the red level, which no other colour shares with white.
int Index(int x, int y, int levels) { return (x + 2 * y) % levels; }
QRgb Colour(int n, int levels) {
    const int v = 255 - n * 255 / (levels - 1);
    return n == 0 ? qRgb(255, 255, 255) : qRgb(v, 255 - v, n * 60);
}
int Levels(int type, int depth) {
    return type == PNG_COLOR_TYPE_PALETTE || depth < 8 ? 1 << std::min(depth, 2) : 4;
}

// The test picture as a PNG written by libpng in the layout given (grey
// layouts: the red level; alpha layouts: half transparent).
QByteArray Png(int type, int depth, bool trns, bool interlaced) {
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep d, size_t n) {
            static_cast<QByteArray*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(d), n);
        },
        nullptr);
    png_set_IHDR(png, info, W, H, depth, type,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
    const int levels = Levels(type, depth);
    const bool grey = !(type & PNG_COLOR_MASK_COLOR), alpha = type & PNG_COLOR_MASK_ALPHA;
    std::vector<png_color> palette;
    for (int n = 0; n < levels; ++n) {
        const QRgb c = Colour(n, levels);
        palette.push_back({png_byte(qRed(c)), png_byte(qGreen(c)), png_byte(qBlue(c))});
    }
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette.data(), levels);
    const png_byte transparent = 0;
    png_color_16 white{0, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    if (depth < 16) white.red = white.green = white.blue = white.gray = (1 << depth) - 1;
    if (trns) png_set_tRNS(png, info, &transparent, 1, &white);
    png_write_info(png, info);
    if (depth < 8) png_set_packing(png);
    const int passes = png_set_interlace_handling(png);
    const int channels = type == PNG_COLOR_TYPE_PALETTE ? 1 : grey ? 1 + alpha : 3 + alpha;
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < H; ++y) {
            std::vector<png_byte> row;
            for (int x = 0; x < W; ++x) {
                const int index = Index(x, y, levels);
                const QRgb c = Colour(index, levels);
                const int values[] = {qRed(c), qGreen(c), qBlue(c)};
                for (int k = 0; k < channels; ++k) {
                    int v = type == PNG_COLOR_TYPE_PALETTE ? index
                            : alpha && k == channels - 1   ? 128
                                                           : values[k];
                    if (depth < 8 && type != PNG_COLOR_TYPE_PALETTE) v >>= 8 - depth;
                    if (depth == 16) row.push_back(png_byte(v));  // v × 257
                    row.push_back(png_byte(v));
                }
            }
            png_write_row(png, row.data());
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// The BMP picture's colours, exact at every bit depth (16 bits: 5 a channel).
QRgb BmpColour(int n) {
    const QRgb colours[] = {qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    return colours[n];
}

// A BMP of the test picture: header of `headerBytes` (12: the oldest one,
// 40: the usual one, 124: with bit fields), top-down when asked.
QByteArray Bmp(int bits, bool topDown, int headerBytes = 40) {
    const int levels = bits == 1 ? 2 : 4, paletteEntry = headerBytes == 12 ? 3 : 4;
    const int colours = bits <= 8 ? 1 << bits : 0;
    QByteArray pixels;
    for (int row = 0; row < H; ++row) {
        const int y = topDown ? row : H - 1 - row;
        QByteArray line;
        quint32 packed = 0;
        for (int x = 0; x < W; ++x) {
            const int n = Index(x, y, levels);
            const QRgb c = BmpColour(n);
            // The fourth byte is unused (0) but with an alpha mask.
            const char bgr[] = {char(qBlue(c)), char(qGreen(c)), char(qRed(c)),
                                char(headerBytes > 40 ? 0xFF : 0)};
            const quint16 rgb555 =
                quint16((qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | qBlue(c) >> 3);
            if (bits <= 8) {
                packed = packed << bits | n;
                if ((x + 1) * bits % 8 == 0 || x == W - 1) {
                    packed <<= (8 - (x + 1) * bits % 8) % 8;
                    line.append(char(packed));
                    packed = 0;
                }
            } else if (bits == 16) {
                line.append(char(rgb555 & 0xFF)).append(char(rgb555 >> 8));
            } else {
                line.append(bgr, bits / 8);
            }
        }
        pixels.append(line.leftJustified((line.size() + 3) / 4 * 4, '\0'));
    }
    QByteArray dib(headerBytes, '\0');
    uchar* d = reinterpret_cast<uchar*>(dib.data());
    qToLittleEndian<quint32>(headerBytes, d);
    if (headerBytes == 12) {
        qToLittleEndian<quint16>(W, d + 4);
        qToLittleEndian<quint16>(H, d + 6);
        qToLittleEndian<quint16>(1, d + 8);
        qToLittleEndian<quint16>(bits, d + 10);
    } else {
        qToLittleEndian<qint32>(W, d + 4);
        qToLittleEndian<qint32>(topDown ? -H : H, d + 8);
        qToLittleEndian<quint16>(1, d + 12);
        qToLittleEndian<quint16>(bits, d + 14);
        qToLittleEndian<quint32>(pixels.size(), d + 20);
        if (headerBytes > 40) {  // bit fields: red, green, blue, alpha masks
            qToLittleEndian<quint32>(3, d + 16);
            const quint32 masks[] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
            for (int k = 0; k < 4; ++k) qToLittleEndian<quint32>(masks[k], d + 40 + 4 * k);
        }
    }
    QByteArray palette;
    for (int n = 0; n < colours; ++n) {
        const QRgb c = n < levels ? BmpColour(n) : 0;
        palette.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        if (paletteEntry == 4) palette.append('\0');
    }
    QByteArray file("BM", 2);
    file.append(QByteArray(12, '\0'));
    uchar* f = reinterpret_cast<uchar*>(file.data());
    const int offset = 14 + headerBytes + palette.size();
    qToLittleEndian<quint32>(offset + pixels.size(), f + 2);
    qToLittleEndian<quint32>(offset, f + 10);
    return file + dib + palette + pixels;
}

}  // namespace

TEST(ImageSource, EveryBmpLayoutDecodesToItsPixels) {
    TempDir dir;
    const struct {
        int bits;
        bool topDown;
        int header;
    } cases[] = {{1, false, 40},  {1, true, 40},  {4, false, 40},  {4, true, 40},
                 {8, false, 40},  {8, true, 40},  {16, false, 40}, {16, true, 40},
                 {24, false, 40}, {24, true, 40}, {32, false, 40}, {32, true, 40},
                 {24, false, 12}, {8, false, 12}, {32, true, 124}};
    for (const auto& c : cases) {
        const std::string what = std::to_string(c.bits) + " bits" + (c.topDown ? " top-down" : "") +
                                 " header " + std::to_string(c.header);
        const QString path = dir.Write("b.bmp", Bmp(c.bits, c.topDown, c.header));
        EXPECT_EQ(ImageFileSize(path), QSize(W, H)) << what;
        QString error;
        const QImage image = DecodeImage(path, &error).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(W, H)) << what << " " << error.toStdString();
        // Five bits a channel come out as the top five of eight (31: 248).
        const QRgb precision = c.bits == 16 ? 0xFFF8F8F8u : 0xFFFFFFFFu;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                EXPECT_EQ(image.pixel(x, y),
                          BmpColour(Index(x, y, c.bits == 1 ? 2 : 4)) & precision)
                    << what << " at " << x << "," << y;
    }
}

TEST(ImageSource, EveryPngLayoutDecodesToItsPixels) {
    TempDir dir;
    const struct {
        int type, depth;
        bool trns, interlaced;
    } cases[] = {
        {PNG_COLOR_TYPE_GRAY, 1, false, false},       {PNG_COLOR_TYPE_GRAY, 2, true, false},
        {PNG_COLOR_TYPE_GRAY, 8, true, true},         {PNG_COLOR_TYPE_GRAY, 16, false, false},
        {PNG_COLOR_TYPE_GRAY, 16, true, false},       {PNG_COLOR_TYPE_RGB, 8, false, false},
        {PNG_COLOR_TYPE_RGB, 8, true, false},         {PNG_COLOR_TYPE_RGB, 16, false, true},
        {PNG_COLOR_TYPE_RGB, 16, true, false},        {PNG_COLOR_TYPE_RGB, 16, true, true},
        {PNG_COLOR_TYPE_PALETTE, 1, true, false},     {PNG_COLOR_TYPE_PALETTE, 4, true, true},
        {PNG_COLOR_TYPE_PALETTE, 8, false, false},    {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, true}, {PNG_COLOR_TYPE_RGB_ALPHA, 8, false, true},
        {PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false},
    };
    for (const auto& c : cases) {
        const std::string what = "type " + std::to_string(c.type) + " depth " +
                                 std::to_string(c.depth) + (c.trns ? " tRNS" : "") +
                                 (c.interlaced ? " interlaced" : "");
        const QString path = dir.Write("p.png", Png(c.type, c.depth, c.trns, c.interlaced));
        QString error;
        const QImage image = DecodeImage(path, &error).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(W, H)) << what << " " << error.toStdString();
        const int levels = Levels(c.type, c.depth);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                QRgb expected = Colour(Index(x, y, levels), levels);
                if (!(c.type & PNG_COLOR_MASK_COLOR))
                    expected = qRgb(qRed(expected), qRed(expected), qRed(expected));
                if (c.type & PNG_COLOR_MASK_ALPHA) expected = (expected & 0xFFFFFF) | 128u << 24;
                if (c.trns && Index(x, y, levels) == 0) expected = 0;  // transparent
                const QRgb got = image.pixel(x, y);
                EXPECT_EQ(qAlpha(got) == 0 ? 0u : got, expected)
                    << what << " at " << x << "," << y << std::hex << " got " << got;
            }
    }
}

TEST(ImageSource, UnusableFilesAreRefusedWithWhatIsWrong) {
    TempDir dir;
    const QByteArray bmp = Bmp(24, true), png = Png(PNG_COLOR_TYPE_RGB, 8, false, false);
    QByteArray noWidth = bmp, badCrc = png;
    noWidth[18] = 0;  // the width's low byte: 0 × 3 pixels
    badCrc[29] ^= 1;  // the header chunk's checksum
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(Qt::red);
    const QString jpeg = dir.File("photo.jpg");
    ASSERT_TRUE(EncodeImage(photo, jpeg, QStringLiteral("image/jpeg")));
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"cut.bmp", bmp.left(bmp.size() - 4),
         "the BMP file is cut short: its pixels need 102 bytes, it has 98"},
        {"header.bmp", bmp.left(20), "the BMP file is cut short in its header"},
        {"nowidth.bmp", noWidth, "the BMP header gives an impossible size (0 × 3)"},
        {"crc.png", badCrc, "damaged PNG data (IHDR: CRC error)"},
        {"cut.jpg", test::ReadAll(jpeg).left(40), "damaged or incomplete JPEG data"},
        {"text.png", "just some text", "not a picture in a format this program reads"},
        {"empty.jpg", "", "the file is empty"},
    };
    for (const auto& c : cases) {
        const QString path = dir.Write(c.name, c.bytes);
        QString error;
        EXPECT_TRUE(DecodeImage(path, &error).isNull()) << c.name;
        EXPECT_EQ(error, c.reason) << c.name;
        EXPECT_FALSE(ImageFileSize(path).isValid()) << c.name;
    }
}
