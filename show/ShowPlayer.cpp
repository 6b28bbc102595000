// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/ShowPlayer.h"

#include <algorithm>
#include <cmath>

#include "show/Show.h"

namespace glowdeck {

void CShowPlayer::SetShow(const CShow* show) {
    show_ = show;
    const int groups = show_ ? static_cast<int>(show_->Groups().size()) : 0;
    if (group_ >= groups) Jump(0);
}

long long CShowPlayer::DurationOf(int group) const {
    if (!show_ || group < 0 || group >= static_cast<int>(show_->Groups().size())) return groupMs_;
    return std::max<long long>(groupMs_, show_->Groups()[static_cast<size_t>(group)].RunMs());
}

void CShowPlayer::Jump(int group) {
    group_ = std::max(0, group);
    groupElapsed_ = 0;
}

void CShowPlayer::Advance(long long elapsedMs) {
    if (!playing_ || !show_ || show_->Empty() || elapsedMs <= 0) return;
    const double scaled = elapsedMs * speed_ + carry_;
    const long long step = static_cast<long long>(std::floor(scaled));
    carry_ = scaled - static_cast<double>(step);
    showMs_ += step;
    groupElapsed_ += step;
    const int groups = static_cast<int>(show_->Groups().size());
    // A long pause may pass several groups; each stays at least 1 ms.
    for (int k = 0; k <= groups && groupElapsed_ >= DurationOf(group_); ++k) {
        groupElapsed_ -= std::max<long long>(1, DurationOf(group_));
        group_ = (group_ + 1) % groups;
    }
    groupElapsed_ = std::min(groupElapsed_, DurationOf(group_) - 1);
}

}  // namespace glowdeck
