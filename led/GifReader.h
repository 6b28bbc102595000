// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QImageReader>
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

// True when `data` starts as a WebP file does.
bool LooksLikeWebp(const QByteArray& data);

// The delay of the frame a QImageReader has just read, in hundredths of a
// second (its nextImageDelay() is in milliseconds; rounded to the nearest).
int ReadDelayHundredths(const QImageReader& reader);

// An animation the platform's decoder reads (an animated WebP; a still file
// gives one frame): its first `count` frames, or with `spread` `count` frames
// spread evenly over its running time (SampleFramesEvenly). Frames are
// composed at full size as ARGB32_Premultiplied; a frame that cannot be
// decoded ends the animation.
std::optional<SampledGif> ReadDecodedAnimation(const QString& path, int count, bool spread,
                                               QString* error = nullptr);

}  // namespace glowdeck
