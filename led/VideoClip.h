// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "led/GifReader.h"

namespace glowdeck {

// The stretch of a video clip an animation is made of, in seconds from the
// clip's start; a duration of 0 runs to the end of the clip.
struct ClipWindow {
    double start = 0;
    double duration = 0;
};

// Video frames are stored at most this many rows high, with square pixels
// (the ball shows 56 rows; the editor shows the source beside it).
constexpr int MaxVideoFrameHeight = 240;

// True when `head` (the first bytes of a file) starts as an MP4, MOV, 3GP,
// Matroska, WebM or AVI file does.
bool LooksLikeVideo(const QByteArray& head);
// The same for a file: false when it cannot be opened as an image source.
bool IsVideoFile(const QString& path);

// The delays, in hundredths of a second, of frames that come on screen at
// `times` (seconds, ascending) and are shown from `start` until `end`: the
// first frame from `start`, each until the next one, the last until `end`.
// The boundaries are rounded to hundredths, so each delay is within one
// hundredth of its frame's time on screen and together they add up to
// end − start exactly.
std::vector<int> ClipDelays(const std::vector<double>& times, double start, double end);

// Where the clip's last frame ends, in seconds (from the container's packets;
// nothing is decoded).
std::optional<double> ReadVideoLength(const QString& path, QString* error = nullptr);

// The frames of `window` as an animation: a window of at most `count` frames
// whole, a longer one spread evenly to `count` frames over its running time
// (SampleFramesEvenly); delays as ClipDelays gives them. Frames are upright,
// at most MaxVideoFrameHeight rows high. A clip that cannot be decoded gives
// nullopt and the decoder's reason.
std::optional<SampledGif> ReadVideoClip(const QString& path, const ClipWindow& window, int count,
                                        QString* error = nullptr);

// The program that decodes videos (glowdeck-video, which alone links FFmpeg):
// beside this program, else in ../libexec/glowdeck. A test sets another.
QString VideoDecoderPath();
void SetVideoDecoderPath(const QString& path);

}  // namespace glowdeck
