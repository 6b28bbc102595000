// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QString>
#include <vector>

namespace glowdeck::test {

class TempDir;

// Writes an animated WebP of `frames` (each lossless, shown `delaysMs[k]`
// milliseconds) as `name` in `dir` with img2webp (package webp) and returns
// its path; an empty path, with a test failure, when img2webp cannot make it.
// Qt's WebP writer writes still images only.
QString WriteAnimatedWebp(const TempDir& dir, const QString& name,
                          const std::vector<QImage>& frames, const std::vector<int>& delaysMs);

// Frames of one grey each, level `first + k × step` for frame k.
std::vector<QImage> GreyFrames(int count, QSize size, int first, int step);

}  // namespace glowdeck::test
