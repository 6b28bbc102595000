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

// Frames in order, each composed as browsers show it (ComposeGif: partial
// frames, transparency and disposal applied, transparent where nothing is
// drawn), at most `maxFrames` of them, as ARGB32_Premultiplied.
std::vector<QImage> ReadComposedFrames(const QString& path, int maxFrames,
                                       QString* error = nullptr);

// A GIF reduced to a number of frames, each composed at full size.
struct SampledGif {
    int sourceFrames = 0;        // frames of the file
    std::vector<QImage> frames;  // ARGB32_Premultiplied, transparent where nothing is drawn
    std::vector<int> delays;     // hundredths of a second, one per frame
};

// The GIF's frames spread evenly over its running time to `count` frames
// (SampleFramesEvenly); a GIF of at most `count` frames gives all of them.
std::optional<SampledGif> ReadSampledGif(const QString& path, int count, QString* error = nullptr);

}  // namespace glowdeck
