// SPDX-License-Identifier: GPL-3.0-or-later
#include "paint/FramePlayer.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>

#include "base/MessageSink.h"

namespace glowdeck {

CFramePlayer::CFramePlayer(Clock clock) : clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        };
}

void CFramePlayer::SetPicture(int frameCount, const std::vector<int>& delays) {
    frameCount_ = std::min(frameCount, MaxFrames);
    animated_ = frameCount_ >= 2;
    framesLoaded_ = false;
    std::fill(delays_.begin(), delays_.end(), 0);
    for (int i = 0; i < frameCount_ && i < static_cast<int>(delays.size()); ++i)
        delays_[i] = delays[i];
}

void CFramePlayer::SetFramesLoaded(int count) {
    framesLoaded_ = true;
    animated_ = false;
    frameCount_ = std::min(count, MaxFrames);
}

bool CFramePlayer::PlayPause(IMessageSink* messages) {
    if (!CanPlay()) {
        if (messages) messages->Warn(QCoreApplication::translate("FramePlayer", "只有1帧！"));
        return false;
    }
    if (!running_) {
        running_ = true;
        paused_ = false;
        loops_ = 0;
        next_ = 0;
    } else if (!paused_) {
        stepWait_ = RemainingMs();  // frozen until the resume
        paused_ = true;
    } else {
        stepStart_ = clock_();
        paused_ = false;
    }
    return true;
}

int CFramePlayer::RemainingMs() const {
    if (paused_) return stepWait_;
    const std::int64_t left = stepWait_ - (clock_() - stepStart_);
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, stepWait_));
}

bool CFramePlayer::Stop() {
    if (!CanPlay() || !running_) return false;
    running_ = paused_ = false;
    current_ = 0;
    loops_ = 0;
    next_ = 0;
    return true;
}

int CFramePlayer::DelayOf(int frame) const {
    const int hundredths = frame >= 0 && frame < MaxFrames ? delays_[frame] : 0;
    return std::clamp(hundredths * 10 - reduction_, 10, 10000) + (height56_ ? 10 : 0);
}

std::optional<CFramePlayer::Step> CFramePlayer::Next() {
    if (!running_ || !framesLoaded_ || frameCount_ <= 0) {
        running_ = paused_ = false;
        return std::nullopt;
    }
    if (next_ >= frameCount_) {
        ++loops_;
        if (loops_ >= loopTotal_) {
            running_ = paused_ = false;
            return std::nullopt;
        }
        next_ = 0;
    }
    current_ = next_++;
    stepStart_ = clock_();
    stepWait_ = DelayOf(current_);
    return Step{current_, stepWait_};
}

}  // namespace glowdeck
