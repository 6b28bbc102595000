// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>

namespace glowdeck {

// An animated picture written frame by frame: GIF (giflib) or WebP
// (libwebp's animation encoder), repeating for ever. Frames must all have
// the size of the first.
class IAnimationWriter {
public:
    virtual ~IAnimationWriter() = default;
    // Adds a frame shown for `delayMs`.
    [[nodiscard]] virtual bool Add(const QImage& frame, int delayMs, QString* error) = 0;
    // The whole file.
    [[nodiscard]] virtual bool Finish(QByteArray* out, QString* error) = 0;
};

enum class AnimationFormat { Gif, Webp };

// GIF delays are hundredths of a second: each frame's is rounded so that the
// delays up to it add up to the nearest hundredth of the time so far.
// WebP keeps milliseconds and is lossless, so the LED colours stay exact.
std::unique_ptr<IAnimationWriter> MakeAnimationWriter(AnimationFormat format);

}  // namespace glowdeck
