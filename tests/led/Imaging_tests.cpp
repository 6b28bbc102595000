// SPDX-License-Identifier: GPL-3.0-or-later
// The imaging layer: decoding by content, GIF frames and stored delays,
// encoders by MIME type, thumbnails and deterministic fonts.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QPainter>
#include <QTextLayout>

#include "led/GifReader.h"
#include "led/GifWriter.h"
#include "led/ImageCodec.h"
#include "led/TextPainter.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

namespace {

QImage Solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

int WriteBytes(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

// A 4 × 4 GIF: frame 0 all red; frame 1 only a 2 × 2 blue patch at (1, 1),
// drawn over frame 0. Delays 0 and 1 hundredths.
QByteArray PartialFrameGif() {
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteBytes, &error);
    GifColorType colours[4] = {{255, 0, 0}, {0, 0, 255}, {0, 0, 0}, {0, 0, 0}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, 4, 4, 2, 0, map);
    const int delays[2] = {0, 1};
    for (int f = 0; f < 2; ++f) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_DO_NOT;
        gcb.DelayTime = delays[f];
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE,
                         static_cast<int>(EGifGCBToExtension(&gcb, ext)), ext);
        const int side = f == 0 ? 4 : 2, at = f == 0 ? 0 : 1;
        EGifPutImageDesc(gif, at, at, side, side, false, nullptr);
        GifPixelType row[4] = {GifPixelType(f), GifPixelType(f), GifPixelType(f), GifPixelType(f)};
        for (int y = 0; y < side; ++y) EGifPutLine(gif, row, side);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

}  // namespace

TEST(Decode, FormatComesFromTheContentNotTheName) {
    TempDir dir;
    const QImage picture = Solid(30, 20, qRgb(10, 200, 30));
    ASSERT_TRUE(EncodeImage(picture, dir.File("jpeg.bmp"), QStringLiteral("image/jpeg")));
    ASSERT_TRUE(EncodeImage(picture, dir.File("bitmap.jpg"), QStringLiteral("image/bmp")));
    ASSERT_TRUE(EncodeImage(picture, dir.File("anim.jpg"), QStringLiteral("image/gif")));
    EXPECT_TRUE(ReadAll(dir.File("jpeg.bmp")).startsWith("\xFF\xD8"));
    EXPECT_TRUE(ReadAll(dir.File("bitmap.jpg")).startsWith("BM"));
    EXPECT_TRUE(ReadAll(dir.File("anim.jpg")).startsWith("GIF89a"));
    for (const char* name : {"jpeg.bmp", "bitmap.jpg", "anim.jpg"}) {
        const QImage image = DecodeImage(dir.File(QString::fromLatin1(name)));
        ASSERT_EQ(image.size(), QSize(30, 20)) << name;
        EXPECT_NEAR(qGreen(image.pixel(15, 10)), 200, 4) << name;
        EXPECT_EQ(ImageFileSize(dir.File(QString::fromLatin1(name))), QSize(30, 20)) << name;
    }
    QString error;
    EXPECT_TRUE(DecodeImage(dir.Write("junk.bmp", "not a picture"), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(DecodeImage(dir.File("missing.jpg")).isNull());
}

TEST(Decode, ScaledDecodeStaysWithinTheBound) {
    TempDir dir;
    ASSERT_TRUE(EncodeImage(Solid(1600, 1200, qRgb(1, 2, 3)), dir.File("big.jpg"),
                            QStringLiteral("image/jpeg")));
    const QImage small = DecodeImageScaled(dir.File("big.jpg"), QSize(100, 75));
    EXPECT_EQ(small.size(), QSize(100, 75));
    const QImage tall = DecodeImageScaled(dir.File("big.jpg"), QSize(100, 1000));
    EXPECT_EQ(tall.size(), QSize(100, 75));
    EXPECT_EQ(DecodeImageScaled(dir.File("big.jpg"), QSize(4000, 4000)).size(), QSize(1600, 1200));
}

TEST(Encode, UnknownMimeTypeWritesNothing) {
    TempDir dir;
    QString error;
    EXPECT_FALSE(EncodeImage(Solid(2, 2, 0xFF000000), dir.File("x.png"),
                             QStringLiteral("image/png"), &error));
    EXPECT_FALSE(QFile::exists(dir.File("x.png")));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Encode, GifKeepsFewColoursExactly) {
    TempDir dir;
    QImage image = Solid(8, 8, qRgb(0, 0, 0));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    image.setPixel(2, 2, qRgb(0, 255, 0));
    image.setPixel(3, 3, qRgb(255, 0, 0));
    ASSERT_TRUE(EncodeImage(image, dir.File("a.gif"), QStringLiteral("image/gif")));
    const QImage back = DecodeImage(dir.File("a.gif")).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(back.pixel(x, y), image.pixel(x, y) | 0xFF000000) << x << "," << y;
}

TEST(Encode, GifWithManyColoursIsReducedNotRefused) {
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) image.setPixel(x, y, qRgb(x * 4, y * 4, (x + y) * 2));
    QByteArray bytes;
    ASSERT_TRUE(EncodeGif({image}, {0}, 0, &bytes));
    QImage back;
    ASSERT_TRUE(back.loadFromData(bytes));
    EXPECT_NEAR(qRed(back.pixel(63, 0)), 252, 40);
    EXPECT_NEAR(qGreen(back.pixel(0, 63)), 252, 40);
}

TEST(Gif, StoredDelaysAreReadAsStored) {
    TempDir dir;
    const std::vector<QImage> frames = {Solid(5, 5, qRgb(255, 0, 0)), Solid(5, 5, qRgb(0, 255, 0)),
                                        Solid(5, 5, qRgb(0, 0, 255)), Solid(5, 5, qRgb(9, 9, 9))};
    QByteArray bytes;
    ASSERT_TRUE(EncodeGif(frames, {0, 1, 7, 250}, 3, &bytes));
    const auto info = ReadGifInfo(dir.Write("d.gif", bytes));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->frameCount, 4);
    EXPECT_EQ(info->delays, (std::vector<int>{0, 1, 7, 250}));
    EXPECT_EQ(info->width, 5);

    const std::vector<QImage> read = ReadComposedFrames(dir.File("d.gif"), 50);
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[2].pixel(2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(ReadComposedFrames(dir.File("d.gif"), 2).size(), 2u);
}

TEST(Gif, PartialFramesAreComposedInOrder) {
    TempDir dir;
    const QString path = dir.Write("p.gif", PartialFrameGif());
    const auto info = ReadGifInfo(path);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->delays, (std::vector<int>{0, 1}));
    const std::vector<QImage> frames = ReadComposedFrames(path, 50);
    ASSERT_EQ(frames.size(), 2u);
    ASSERT_EQ(frames[1].size(), QSize(4, 4));
    // Expected second frame, red (R) under a blue (B) patch:
    const char* expected[] = {"RRRR", "RBBR", "RBBR", "RRRR"};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(frames[1].pixel(x, y),
                      expected[y][x] == 'R' ? qRgb(255, 0, 0) : qRgb(0, 0, 255))
                << x << "," << y;
}

TEST(Gif, DamagedFilesFailCleanly) {
    TempDir dir;
    QString error;
    EXPECT_FALSE(ReadGifInfo(dir.Write("t.gif", "GIF89a\x04"), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ReadGifInfo(dir.File("absent.gif")).has_value());
    const QByteArray whole = PartialFrameGif();
    const QString cut = dir.Write("cut.gif", whole.left(whole.size() - 12));
    const auto info = ReadGifInfo(cut);  // the frames before the cut survive
    if (info) {
        EXPECT_GE(info->frameCount, 1);
    }
    EXPECT_LE(ReadComposedFrames(cut, 50).size(), 2u);
    EXPECT_TRUE(ReadComposedFrames(dir.Write("z.gif", QByteArray(100, '\0')), 50).empty());
}

TEST(Thumbnail, HasExactlyTheRequestedSize) {
    EXPECT_EQ(MakeThumbnail(Solid(400, 300, 0xFFFFFFFF), 100, 75).size(), QSize(100, 75));
    EXPECT_EQ(MakeThumbnail(Solid(3, 900, 0xFFFFFFFF), 100, 75).size(), QSize(100, 75));
    EXPECT_TRUE(MakeThumbnail(QImage(), 100, 75).isNull());
}

TEST(Fonts, SongFamilyResolvesToTheSameInstalledFaceEverywhere) {
    for (const QString& family : {QStringLiteral("宋体"), QStringLiteral("SimSun")}) {
        QTextLayout layout(QStringLiteral("新建图片ABC"), MakeFont(family, 40));
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const auto runs = layout.glyphRuns();
        ASSERT_FALSE(runs.isEmpty());
        for (const QGlyphRun& run : runs)
            EXPECT_EQ(run.rawFont().familyName(), SongFallbackFamily()) << family.toStdString();
    }
}

TEST(Fonts, StyleBitsAndPositionedDrawing) {
    const QFont font =
        MakeFont(QStringLiteral("宋体"), 20, StyleBold | StyleUnderline | StyleStrikeOut);
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(font.pixelSize(), 20);

    QImage image(120, 30, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    DrawPositionedChars(painter, MakeFont(QStringLiteral("宋体"), 20), QStringLiteral("一一"),
                        {QPointF(0, 20), QPointF(80, 20)}, Qt::white);
    painter.end();
    auto inkIn = [&](int x0, int x1) {
        for (int y = 0; y < 30; ++y)
            for (int x = x0; x < x1; ++x)
                if (qRed(image.pixel(x, y)) > 128) return true;
        return false;
    };
    EXPECT_TRUE(inkIn(0, 25));
    EXPECT_FALSE(inkIn(30, 75));
    EXPECT_TRUE(inkIn(80, 105));
}

TEST(Thumbnail, TransparencyCountsAsDarkWhenScaling) {
    // A white opaque column beside three transparent white ones, halved: the
    // edge pixel is half lit (premultiplied average over black), not white,
    // and the transparent half stays dark.
    QImage icon(4, 1, QImage::Format_ARGB32);
    icon.fill(qRgba(255, 255, 255, 0));
    icon.setPixel(0, 0, qRgba(255, 255, 255, 255));
    const QImage half = MakeThumbnail(icon, 2, 1);
    ASSERT_EQ(half.size(), QSize(2, 1));
    EXPECT_EQ(qAlpha(half.pixel(0, 0)), 255);
    EXPECT_NEAR(qRed(half.pixel(0, 0)), 128, 2);
    EXPECT_EQ(half.pixel(1, 0), qRgb(0, 0, 0));
    // Unscaled transparent pixels are dark too; opaque images keep their pixels.
    EXPECT_EQ(OnBlack(icon).pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(OnBlack(icon).pixel(0, 0), qRgb(255, 255, 255));
    const QImage opaque = Solid(3, 3, qRgb(10, 20, 30));
    EXPECT_EQ(MakeThumbnail(opaque, 3, 3).pixel(1, 1), qRgb(10, 20, 30));
}

namespace {

// A GIF of three frames, each declared 60000 × 60000 (3.6 GB of pixels) but
// holding only an empty code stream, with delays 7, 8 and 9.
QByteArray HugeFramesGif() {
    auto le = [](int v) {
        return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF));
    };
    QByteArray out = QByteArray("GIF89a") + le(60000) + le(60000) + QByteArray("\x80\x00\x00", 3) +
                     QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6);
    for (int delay : {7, 8, 9}) {
        out += QByteArray("\x21\xF9\x04\x00", 4) + le(delay) + QByteArray("\x00\x00", 2);
        out +=
            QByteArray("\x2C", 1) + le(0) + le(0) + le(60000) + le(60000) + QByteArray("\x00", 1);
        out += QByteArray("\x02\x01\x2C\x00", 4);  // code size 2; clear, end of information
    }
    return out + QByteArray("\x3B", 1);
}

}  // namespace

TEST(Gif, DelaysAreReadWithoutDecodingAnyFrame) {
    TempDir dir;
    const QString path = dir.Write("huge.gif", HugeFramesGif());
    // In a child whose address space could not hold one frame's pixels.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        limit.rlim_cur = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (512L << 20);
        setrlimit(RLIMIT_AS, &limit);
        const auto info = ReadGifInfo(path);
        _exit(info && info->frameCount == 3 && info->delays == std::vector<int>{7, 8, 9} ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
