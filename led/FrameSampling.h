// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <vector>

namespace glowdeck {

// One frame of a reduced animation: which source frame it shows and for how
// long (hundredths of a second).
struct FrameSample {
    int frame = 0;
    int delay = 0;
};

// Reduces an animation of delays.size() frames (each its delay in hundredths
// of a second, any source: GIF, WebP, video) to `count` frames spread evenly
// over its running time. Sample j shows the frame that is on screen at
// j × total / count, for (j + 1) × total / count − j × total / count
// hundredths (whole hundredths, rounded down at both ends): the delays add up
// to the source's total exactly and each is within one hundredth of
// total / count. Without any running time (all delays 0) the frames are
// spread evenly by position. An animation of at most `count` frames is kept
// as it is.
std::vector<FrameSample> SampleFramesEvenly(const std::vector<int>& delays, int count);

}  // namespace glowdeck
