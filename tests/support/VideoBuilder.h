// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

namespace glowdeck::test {

class TempDir;

// Writes a video clip `name` in `dir` with ffmpeg (package ffmpeg) from the
// lavfi source `source` ("color=c=black:s=32x16:r=10:d=1,…"), encoded with
// `encode` (e.g. {"-c:v", "libx264"}), and returns its path; an empty path,
// with a test failure, when ffmpeg cannot make it.
QString WriteClip(const TempDir& dir, const QString& name, const QString& source,
                  const QStringList& encode);

// A grey clip of `frames` frames at `rate` per second, 32 × 16, frame N of
// grey level 20 × N (wrapping at 256), encoded as `encode` says (H.264 when
// empty; the container follows the name).
QString WriteGreyRamp(const TempDir& dir, const QString& name, int frames, int rate,
                      const QStringList& encode = {});

// A copy of `clip` as `name` whose stream says it is shown turned
// `degrees` clockwise, as phones store portrait clips.
QString WriteTurnedClip(const TempDir& dir, const QString& name, const QString& clip, int degrees);

}  // namespace glowdeck::test
