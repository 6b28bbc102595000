// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/GifWriter.h"

#include <gif_lib.h>

#include <QHash>
#include <cstring>
#include <memory>

namespace glowdeck {

namespace {

int WriteToBuffer(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct IndexedFrame {
    std::vector<GifColorType> palette;  // size is a power of two, at least 2
    std::vector<GifByteType> pixels;
};

IndexedFrame Index(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    IndexedFrame frame;
    frame.pixels.resize(static_cast<size_t>(w) * h);
    QHash<QRgb, int> colours;
    bool exact = true;
    for (int y = 0; y < h && exact; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = row[x] & 0xFFFFFF;
            auto it = colours.constFind(c);
            if (it == colours.constEnd()) {
                if (colours.size() == 256) {
                    exact = false;
                    break;
                }
                it = colours.insert(c, static_cast<int>(colours.size()));
                frame.palette.push_back(
                    {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))});
            }
            frame.pixels[static_cast<size_t>(y) * w + x] = GifByteType(it.value());
        }
    }
    if (!exact) {
        frame.palette.clear();
        for (int k = 0; k < 256; ++k)
            frame.palette.push_back({GifByteType((k >> 5) * 255 / 7),
                                     GifByteType(((k >> 2) & 7) * 255 / 7),
                                     GifByteType((k & 3) * 255 / 3)});
        for (int y = 0; y < h; ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const int r = (qRed(row[x]) * 7 + 127) / 255, g = (qGreen(row[x]) * 7 + 127) / 255,
                          b = (qBlue(row[x]) * 3 + 127) / 255;
                frame.pixels[static_cast<size_t>(y) * w + x] = GifByteType((r << 5) | (g << 2) | b);
            }
        }
    }
    size_t size = 2;
    while (size < frame.palette.size()) size *= 2;
    frame.palette.resize(size, GifColorType{0, 0, 0});
    return frame;
}

}  // namespace

bool EncodeGif(const std::vector<QImage>& frames, const std::vector<int>& delays, int loop,
               QByteArray* out, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (frames.empty() || frames.front().isNull())
        return fail(QStringLiteral("no frame to encode"));
    const int w = frames.front().width(), h = frames.front().height();
    out->clear();
    int code = 0;
    GifFileType* gif = EGifOpen(out, WriteToBuffer, &code);
    if (!gif) return fail(QString::fromUtf8(GifErrorString(code)));
    auto closer = [](GifFileType* g) {
        int ignored = 0;
        if (g) EGifCloseFile(g, &ignored);
    };
    std::unique_ptr<GifFileType, decltype(closer)> guard(gif, closer);
    EGifSetGifVersion(gif, true);
    auto gifFail = [&]() { return fail(QString::fromUtf8(GifErrorString(gif->Error))); };

    if (EGifPutScreenDesc(gif, w, h, 8, 0, nullptr) == GIF_ERROR) return gifFail();
    if (frames.size() > 1 || loop != 0) {
        const unsigned char netscape[] = "NETSCAPE2.0";
        const unsigned char loopBlock[] = {1, static_cast<unsigned char>(loop & 0xFF),
                                           static_cast<unsigned char>((loop >> 8) & 0xFF)};
        if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
            EGifPutExtensionBlock(gif, 11, netscape) == GIF_ERROR ||
            EGifPutExtensionBlock(gif, 3, loopBlock) == GIF_ERROR ||
            EGifPutExtensionTrailer(gif) == GIF_ERROR)
            return gifFail();
    }
    for (size_t f = 0; f < frames.size(); ++f) {
        const QImage& source = frames[f];
        if (source.width() != w || source.height() != h)
            return fail(QStringLiteral("frame %1 differs in size").arg(f));
        IndexedFrame frame = Index(source);
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.DelayTime = f < delays.size() ? delays[f] : 0;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&gcb, extension);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
            GIF_ERROR)
            return gifFail();
        ColorMapObject* map =
            GifMakeMapObject(static_cast<int>(frame.palette.size()), frame.palette.data());
        if (!map) return fail(QStringLiteral("cannot build a colour map"));
        const int rc = EGifPutImageDesc(gif, 0, 0, w, h, false, map);
        GifFreeMapObject(map);
        if (rc == GIF_ERROR) return gifFail();
        for (int y = 0; y < h; ++y)
            if (EGifPutLine(gif, frame.pixels.data() + static_cast<size_t>(y) * w, w) == GIF_ERROR)
                return gifFail();
    }
    GifFileType* raw = guard.release();
    if (EGifCloseFile(raw, &code) == GIF_ERROR)
        return fail(QString::fromUtf8(GifErrorString(code)));
    return true;
}

}  // namespace glowdeck
