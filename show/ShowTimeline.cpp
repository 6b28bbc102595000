// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/ShowTimeline.h"

#include <algorithm>
#include <cmath>

#include "show/Show.h"

namespace glowdeck {

std::vector<long long> ChangeTimes(const ShowGroup& group, int limit) {
    std::vector<long long> times{0};
    const long long run = group.RunMs();
    for (const ShowAnimation& a : group.animations) {
        long long t = 0;
        for (int play = 0; play < a.Plays() && static_cast<int>(times.size()) <= 4 * limit; ++play)
            for (int delay : a.delays) {
                t += delay;
                if (t < run) times.push_back(t);
            }
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    if (static_cast<int>(times.size()) > limit) times.resize(static_cast<size_t>(limit));
    return times;
}

std::vector<ShowFrame> StripFrames(const CShow& show, const std::vector<int>& groups, int stillMs,
                                   int maxFramesPerGroup, bool* cut) {
    std::vector<ShowFrame> frames;
    if (cut) *cut = false;
    long long showMs = 0;
    for (int g : groups) {
        const ShowGroup& group = show.Groups()[static_cast<size_t>(g)];
        const long long run = group.RunMs();
        if (run <= 0) {
            frames.push_back({g, 0, showMs, stillMs});
            showMs += stillMs;
            continue;
        }
        const std::vector<long long> times = ChangeTimes(group, maxFramesPerGroup + 1);
        if (static_cast<int>(times.size()) > maxFramesPerGroup && cut) *cut = true;
        const size_t count = std::min(times.size(), static_cast<size_t>(maxFramesPerGroup));
        for (size_t k = 0; k < count; ++k) {
            const long long end = k + 1 < times.size() ? times[k + 1] : run;
            frames.push_back({g, times[k], showMs, static_cast<int>(end - times[k])});
            showMs += end - times[k];
        }
    }
    return frames;
}

std::vector<ShowFrame> BallFrames(const CShow& show, const std::vector<int>& groups, int turnMs,
                                  int minFrames, int maxStepMs) {
    std::vector<ShowFrame> frames;
    long long showMs = 0;
    for (int g : groups) {
        const long long time = std::max<long long>(turnMs, show.Groups()[size_t(g)].RunMs());
        const long long count =
            std::max<long long>(minFrames, (time + maxStepMs - 1) / std::max(1, maxStepMs));
        long long at = 0;
        for (long long k = 0; k < count; ++k) {
            const long long next = (time * (k + 1) + count / 2) / count;
            frames.push_back({g, at, showMs + at, static_cast<int>(next - at)});
            at = next;
        }
        showMs += time;
    }
    return frames;
}

}  // namespace glowdeck
