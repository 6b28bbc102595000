// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/GifBuilder.h"

#include <gif_lib.h>

namespace glowdeck::test {

namespace {

int Append(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

ColorMapObject* MakeMap(const std::vector<QRgb>& palette) {
    if (palette.empty()) return nullptr;
    int size = 2;
    while (size < static_cast<int>(palette.size())) size *= 2;
    std::vector<GifColorType> colours(static_cast<size_t>(size), GifColorType{0, 0, 0});
    for (size_t k = 0; k < palette.size(); ++k)
        colours[k] = {GifByteType(qRed(palette[k])), GifByteType(qGreen(palette[k])),
                      GifByteType(qBlue(palette[k]))};
    return GifMakeMapObject(size, colours.data());
}

// The order in which an interlaced image stores its rows.
std::vector<int> RowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass]) rows.push_back(y);
    return rows;
}

}  // namespace

GifFrameSpec FilledFrame(int left, int top, int width, int height, std::uint8_t index) {
    GifFrameSpec frame;
    frame.left = left;
    frame.top = top;
    frame.width = width;
    frame.height = height;
    frame.pixels.assign(static_cast<size_t>(width) * height, index);
    return frame;
}

QByteArray BuildGif(int width, int height, const std::vector<QRgb>& globalPalette, int background,
                    const std::vector<GifFrameSpec>& frames) {
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, Append, &error);
    if (!gif) return out;
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = MakeMap(globalPalette);
    EGifPutScreenDesc(gif, width, height, 8, background, global);
    GifFreeMapObject(global);
    for (const GifFrameSpec& f : frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = f.disposal;
        gcb.DelayTime = f.delay;
        gcb.TransparentColor = f.transparent;
        GifByteType extension[4];
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE,
                         static_cast<int>(EGifGCBToExtension(&gcb, extension)), extension);
        ColorMapObject* local = MakeMap(f.localPalette);
        EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local);
        GifFreeMapObject(local);
        std::vector<GifPixelType> row(static_cast<size_t>(f.width));
        for (int y : RowOrder(f.height, f.interlaced)) {
            for (int x = 0; x < f.width; ++x)
                row[x] = f.pixels[static_cast<size_t>(y) * f.width + x];
            EGifPutLine(gif, row.data(), f.width);
        }
    }
    EGifCloseFile(gif, &error);
    return out;
}

}  // namespace glowdeck::test
