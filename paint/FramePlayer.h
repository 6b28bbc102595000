// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace glowdeck {

class IMessageSink;

// The playback rules of a picture frame: which frame comes next, how long
// it stays, loops and stop. The frame widget runs the steps on a timer.
class CFramePlayer {
public:
    static constexpr int MaxFrames = 50;
    // Milliseconds from any fixed start; the steady clock unless given.
    using Clock = std::function<std::int64_t()>;

    explicit CFramePlayer(Clock clock = {});

    // A picture with 2 or more frames counts as animated.
    void SetPicture(int frameCount, const std::vector<int>& delaysHundredths);
    // Converted frames given to the frame: loaded, no longer "animated".
    void SetFramesLoaded(int count);
    void SetLoopCount(int loops) { loopTotal_ = loops; }
    void SetDelayReduction(int ms) { reduction_ = ms; }
    // Frames 56 rows high stay 10 ms longer.
    void SetFrameHeight56(bool is56) { height56_ = is56; }

    // PLAY: start, pause or resume. False after "只有1帧！" when there is
    // nothing to play. A pause keeps what is left of the shown frame's
    // delay; after the resume the frame stays that long (RemainingMs).
    bool PlayPause(IMessageSink* messages);
    // STOP: rewinds. False when nothing runs.
    bool Stop();

    struct Step {
        int frame;
        int delayMs;
    };
    // The next frame to draw and how long to show it; nullopt when the loop
    // total is reached (the player stops on the last frame drawn).
    std::optional<Step> Next();
    // The delay of frame i: hundredths × 10 − reduction, kept within
    // 10..10000 ms, plus 10 ms for a 56-row frame.
    int DelayOf(int frame) const;
    // What is left of the shown frame's delay: frozen while paused.
    int RemainingMs() const;

    bool Running() const { return running_; }
    bool Paused() const { return paused_; }
    bool CanPlay() const { return animated_ || framesLoaded_; }
    int CurrentFrame() const { return current_; }
    int LoopCounter() const { return loops_; }
    int LoopTotal() const { return loopTotal_; }
    int FrameCount() const { return frameCount_; }

private:
    bool animated_ = false, framesLoaded_ = false;
    bool running_ = false, paused_ = false, height56_ = false;
    int frameCount_ = 0, loopTotal_ = 1, reduction_ = 0;
    int current_ = 0, loops_ = 0, next_ = 0;
    std::vector<int> delays_ = std::vector<int>(MaxFrames, 0);
    Clock clock_;
    std::int64_t stepStart_ = 0;  // when the shown frame's wait began (or resumed)
    int stepWait_ = 0;            // its wait from stepStart_
};

}  // namespace glowdeck
