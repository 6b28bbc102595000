// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glowdeck {

class CShow;

// Plays a show as the preview does: each group in turn for the chosen time,
// or longer while its animations still run; time can run faster or slower.
// Owns no timer: the window tells it how much time went by.
class CShowPlayer {
public:
    void SetShow(const CShow* show);
    void SetGroupMs(int ms) { groupMs_ = ms; }
    void SetSpeed(double speed) { speed_ = speed; }
    void SetPlaying(bool playing) { playing_ = playing; }
    bool Playing() const { return playing_; }

    // Moves on by `elapsedMs` of real time (scaled by the speed) while
    // playing, to the next group (the first after the last) when the shown
    // group's time is up.
    void Advance(long long elapsedMs);
    // Starts group `group` from its beginning.
    void Jump(int group);

    int Group() const { return group_; }
    long long GroupMs() const { return groupElapsed_; }
    // Time since play began, for the ball's turn.
    long long ShowMs() const { return showMs_; }
    // How long group `group` stays: the chosen time, at least its animations' run.
    long long DurationOf(int group) const;

private:
    const CShow* show_ = nullptr;
    int groupMs_ = 5000;
    double speed_ = 1.0;
    bool playing_ = true;
    int group_ = 0;
    long long groupElapsed_ = 0, showMs_ = 0;
    double carry_ = 0;  // the part of a millisecond left over by the speed
};

}  // namespace glowdeck
