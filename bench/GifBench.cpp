// SPDX-License-Identifier: GPL-3.0-or-later
// The CPU a GIF animation's conversion costs (reading the file, decoding,
// composing, reducing to W × 56, thresholding and packing, as compile does)
// against a plain giflib decode-and-compose of the same frames, measured side
// by side in one run:
//   three 50-frame GIFs of 400 × 300 (whole frames, like an encoder writes),
//   and three of partial frames (a 160 × 120 sprite moving over a still
//   background, disposal 2 and a transparent colour, like web GIFs).
// Both are timed alternately, seven rounds each; reports the medians and their
// ratio (target at most 1.3).
#include <gif_lib.h>
#include <sys/resource.h>

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/RegularFile.h"
#include "bench/Must.h"
#include "bench/Scene.h"
#include "led/AnimationConverter.h"
#include "led/GifWriter.h"

using namespace glowdeck;

namespace {

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// A GIF of a still background and a sprite moving over it: every frame after
// the first covers only the sprite's rectangle, is cleared after it is shown
// (disposal 2) and has a transparent colour.
QByteArray SpriteGif(int seed) {
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(
        &out,
        [](GifFileType* g, const GifByteType* data, int length) {
            static_cast<QByteArray*>(g->UserData)
                ->append(reinterpret_cast<const char*>(data), length);
            return length;
        },
        &error);
    std::vector<GifColorType> colours(256);
    for (int k = 0; k < 256; ++k)
        colours[k] = {GifByteType(k), GifByteType((k * 7 + seed) & 0xFF), GifByteType(255 - k)};
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, 400, 300, 8, 0, map);
    std::vector<GifPixelType> row(400);
    for (int f = 0; f < 50; ++f) {
        const bool background = f == 0;
        const int w = background ? 400 : 160, h = background ? 300 : 120;
        const int left = background ? 0 : (f * 5) % 240, top = background ? 0 : (f * 3) % 180;
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = background ? DISPOSE_DO_NOT : DISPOSE_BACKGROUND;
        gcb.DelayTime = 4;
        gcb.TransparentColor = background ? NO_TRANSPARENT_COLOR : 0;
        GifByteType extension[4];
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE,
                         static_cast<int>(EGifGCBToExtension(&gcb, extension)), extension);
        EGifPutImageDesc(gif, left, top, w, h, false, nullptr);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int dx = x - w / 2, dy = y - h / 2;
                row[x] = background                    ? GifPixelType((x / 8 + y / 8 + seed) & 0xFF)
                         : dx * dx + dy * dy < 55 * 55 ? GifPixelType(1 + (x + y + f) % 255)
                                                       : 0;
            }
            EGifPutLine(gif, row.data(), w);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

// The plain decode-and-compose: DGifSlurp, then every frame drawn onto an
// RGBA canvas with its disposal, transparency and palette. Returns a checksum
// so that nothing is optimised away.
unsigned PlainDecodeAndCompose(const QString& path) {
    QString error;
    const std::optional<QByteArray> data = ReadWholeFile(path, 1 << 30, &error);
    if (!data) return 0;
    struct Input {
        const QByteArray* data;
        int offset;
    } input{&*data, 0};
    int code = 0;
    GifFileType* gif = DGifOpen(
        &input,
        [](GifFileType* g, GifByteType* buffer, int length) {
            auto* in = static_cast<Input*>(g->UserData);
            const int n = std::min(length, static_cast<int>(in->data->size()) - in->offset);
            std::memcpy(buffer, in->data->constData() + in->offset, static_cast<size_t>(n));
            in->offset += n;
            return n;
        },
        &code);
    if (!gif || DGifSlurp(gif) != GIF_OK) return 0;
    const int sw = gif->SWidth, sh = gif->SHeight;
    std::vector<std::uint32_t> canvas(static_cast<size_t>(sw) * sh, 0), saved;
    unsigned sum = 0;
    for (int f = 0; f < gif->ImageCount; ++f) {
        const SavedImage& image = gif->SavedImages[f];
        const GifImageDesc& d = image.ImageDesc;
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, f, &gcb);
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        std::uint32_t palette[256] = {};
        for (int k = 0; k < map->ColorCount; ++k)
            palette[k] = 0xFF000000u | map->Colors[k].Red << 16 | map->Colors[k].Green << 8 |
                         map->Colors[k].Blue;
        if (gcb.DisposalMode == DISPOSE_PREVIOUS) saved = canvas;
        const int right = std::min(d.Left + d.Width, sw), bottom = std::min(d.Top + d.Height, sh);
        for (int y = d.Top; y < bottom; ++y)
            for (int x = d.Left; x < right; ++x) {
                const int index = image.RasterBits[(y - d.Top) * d.Width + (x - d.Left)];
                if (index != gcb.TransparentColor) canvas[y * sw + x] = palette[index];
            }
        sum += canvas[static_cast<size_t>(sh / 2) * sw + sw / 2];
        if (gcb.DisposalMode == DISPOSE_BACKGROUND)
            for (int y = d.Top; y < bottom; ++y)
                std::fill(canvas.begin() + y * sw + d.Left, canvas.begin() + y * sw + right, 0u);
        else if (gcb.DisposalMode == DISPOSE_PREVIOUS)
            canvas = saved;
    }
    DGifCloseFile(gif, &code);
    return sum;
}

// The converter as compile runs it.
unsigned Convert(CAnimationConverter& converter, const QString& path) {
    Must(converter.LoadFile(path), "loading a GIF");
    converter.SetThreshold(0xFF808080);
    Must(converter.Convert({1, 0}, nullptr), "converting a GIF");
    const PackedColumns packed = converter.Packed();
    const unsigned sum = packed.data[packed.width * packed.columnBytes / 2];
    converter.Release();
    return sum;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    std::vector<QString> paths;
    for (int n = 0; n < 3; ++n) {
        std::vector<QImage> frames;
        for (int f = 0; f < 50; ++f) frames.push_back(Scene(400, 300, n * 50 + f));
        QByteArray gif;
        Must(EncodeGif(frames, std::vector<int>(50, 8), 0, &gif), "encoding a GIF");
        paths.push_back(dir.filePath(QStringLiteral("whole%1.gif").arg(n)));
        QFile out(paths.back());
        Must(out.open(QIODevice::WriteOnly) && out.write(gif) == gif.size(), "writing a GIF");
    }
    for (int n = 0; n < 3; ++n) {
        const QByteArray gif = SpriteGif(n);
        paths.push_back(dir.filePath(QStringLiteral("sprite%1.gif").arg(n)));
        QFile out(paths.back());
        Must(out.open(QIODevice::WriteOnly) && out.write(gif) == gif.size(), "writing a GIF");
    }
    CAnimationConverter converter;
    unsigned sink = 0;
    std::vector<double> converted, plain;
    for (int round = 0; round < 7; ++round) {
        double start = CpuMs();
        for (const QString& path : paths) sink += Convert(converter, path);
        converted.push_back(CpuMs() - start);
        start = CpuMs();
        for (const QString& path : paths) sink += PlainDecodeAndCompose(path);
        plain.push_back(CpuMs() - start);
    }
    const double c = Median(converted), p = Median(plain);
    std::printf("GIF conversion: %zu GIFs of 50 frames, 400 x 300 (checksum %u)\n", paths.size(),
                sink);
    std::printf("%-44s %8.1f ms CPU\n", "convert (decode, compose, scale, threshold, pack)", c);
    std::printf("%-44s %8.1f ms CPU\n", "plain giflib decode and compose", p);
    std::printf("%-44s %8.2f     (target <= 1.30)\n", "ratio convert / plain", c / p);
    return 0;
}
