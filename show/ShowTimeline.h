// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <vector>

namespace glowdeck {

struct ShowGroup;
class CShow;

// One frame of a played show: group `group` as it is `groupMs` after the
// group began, shown for `delayMs`; `showMs` counts from the start of the
// whole play (the ball's turn follows it).
struct ShowFrame {
    int group = 0;
    long long groupMs = 0;
    long long showMs = 0;
    int delayMs = 0;
};

// Frames of the strip view: each group in turn, one frame for every change
// of its animations with the compiled delays; a group without animations is
// one frame of `stillMs`. At most `maxFramesPerGroup` frames a group (the
// rest of a very long loop is left off; `cut` says so).
std::vector<ShowFrame> StripFrames(const CShow& show, const std::vector<int>& groups, int stillMs,
                                   int maxFramesPerGroup = 2000, bool* cut = nullptr);

// Frames of the ball view: each group for at least one turn and at least as
// long as its animations run, in at least `minFrames` frames a group and no
// frame longer than `maxStepMs`; the animations are sampled at each frame's
// time. Delays are whole milliseconds that add up to the group's time.
std::vector<ShowFrame> BallFrames(const CShow& show, const std::vector<int>& groups, int turnMs,
                                  int minFrames = 24, int maxStepMs = 40);

// The moments (ms from the group's start) where a group's strip changes,
// 0 first, up to `limit` of them.
std::vector<long long> ChangeTimes(const ShowGroup& group, int limit);

}  // namespace glowdeck
