// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a small seed corpus for imagesource-fuzzer into the folder given as
// the only argument: pictures of every decoded format, with and without
// alpha, 56 rows high and not, and GIFs with every disposal method,
// transparency, interlacing and local palettes.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>

#include "support/GifBuilder.h"

using glowdeck::test::BuildGif;
using glowdeck::test::FilledFrame;
using glowdeck::test::GifFrameSpec;

namespace {

QImage Pattern(int w, int h, bool alpha) {
    QImage image(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y,
                           qRgba(x * 40 % 256, y * 30 % 256, (x + y) * 20 % 256,
                                 alpha ? (x * 60) % 256 : 255));
    return image;
}

bool Write(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2 || !QDir().mkpath(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: image-fuzz-seeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    ok &= Pattern(12, 8, true).save(QDir(folder).filePath(QStringLiteral("alpha.png")), "PNG");
    ok &= Pattern(12, 56, false).save(QDir(folder).filePath(QStringLiteral("rows56.png")), "PNG");
    ok &=
        Pattern(16, 12, false).save(QDir(folder).filePath(QStringLiteral("photo.jpg")), "JPEG", 80);
    ok &= Pattern(9, 7, false).save(QDir(folder).filePath(QStringLiteral("plain.bmp")), "BMP");
    const std::vector<QRgb> palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0),
                                       qRgb(255, 255, 255)};
    for (int disposal = 0; disposal <= 3; ++disposal) {
        GifFrameSpec first = FilledFrame(0, 0, 8, 8, 1);
        first.disposal = disposal;
        first.delay = 5;
        GifFrameSpec second = FilledFrame(2, 2, 4, 4, 2);
        second.pixels[5] = 3;
        second.transparent = disposal % 2 ? 3 : -1;
        second.disposal = disposal;
        second.interlaced = disposal == 2;
        GifFrameSpec third = FilledFrame(1, 1, 3, 5, 0);
        third.localPalette = {qRgb(9, 9, 200), qRgb(200, 9, 9)};
        third.transparent = 0;
        ok &= Write(folder, QStringLiteral("disposal%1.gif").arg(disposal),
                    BuildGif(8, 8, palette, 3, {first, second, third}));
    }
    if (!ok) std::fprintf(stderr, "some seeds could not be written\n");
    return ok ? 0 : 1;
}
