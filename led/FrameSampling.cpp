// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/FrameSampling.h"

#include <cstdint>

namespace glowdeck {

std::vector<FrameSample> SampleFramesEvenly(const std::vector<int>& delays, int count) {
    const int frames = static_cast<int>(delays.size());
    std::vector<FrameSample> samples;
    if (count <= 0 || frames == 0) return samples;
    if (frames <= count) {
        for (int f = 0; f < frames; ++f) samples.push_back({f, delays[f]});
        return samples;
    }
    std::int64_t total = 0;
    for (const int d : delays) total += d > 0 ? d : 0;
    if (total == 0) {
        for (int j = 0; j < count; ++j)
            samples.push_back({static_cast<int>(std::int64_t(j) * frames / count), 0});
        return samples;
    }
    // Walk the frames once: `start` is when frame f comes on screen.
    int f = 0;
    std::int64_t start = 0;
    for (int j = 0; j < count; ++j) {
        const std::int64_t at = std::int64_t(j) * total / count;
        const std::int64_t next = std::int64_t(j + 1) * total / count;
        // The frame on screen at `at`: the last one that has started by then
        // and is still shown (a frame of delay 0 is never on screen).
        while (f + 1 < frames && start + (delays[f] > 0 ? delays[f] : 0) <= at) {
            start += delays[f] > 0 ? delays[f] : 0;
            ++f;
        }
        samples.push_back({f, static_cast<int>(next - at)});
    }
    return samples;
}

}  // namespace glowdeck
