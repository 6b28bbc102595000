#pragma once
#include <QImage>
#include <QString>
#include <optional>
#include <vector>

namespace glowdeck {

// What a GIF file stores about its frames, read with giflib.
struct GifFileInfo {
    int width = 0;  // logical screen
    int height = 0;
    int frameCount = 0;
    // One delay per frame exactly as stored, in hundredths of a second
    // (0 for a frame without a graphics control block).
    std::vector<int> delays;
};

std::optional<GifFileInfo> ReadGifInfo(const QString& path, QString* error = nullptr);

// A frame as the platform's GIF decoder composed it, with the pixels it left
// clear marked transparent. The decoder picks an opaque image format when the
// first frame has no transparent colour, yet later frames' transparent
// pixels and areas restored to the background are written as "transparent
// white" (alpha byte 0) into it, which an opaque format reads as white. Other
// images are returned unchanged.
QImage WithClearedPixelsTransparent(QImage frame);

// Frames in order, each composed as the viewer shows it (partial frames,
// transparency and disposal applied), at most `maxFrames` of them. Frames are
// decoded sequentially; GIF allows no random access.
std::vector<QImage> ReadComposedFrames(const QString& path, int maxFrames,
                                       QString* error = nullptr);

}  // namespace glowdeck
