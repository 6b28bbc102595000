// SPDX-License-Identifier: GPL-3.0-or-later
// Playback rules: delays, loops, pause and stop.
#include <gtest/gtest.h>

#include "paint/FramePlayer.h"
#include "support/RecordingSink.h"

using namespace glowdeck;

TEST(FramePlayer, DelayRule) {
    CFramePlayer player;
    player.SetPicture(3, {0, 100, 2000});
    EXPECT_EQ(player.DelayOf(0), 10);     // 0 plays at 10 ms
    EXPECT_EQ(player.DelayOf(2), 10000);  // capped
    player.SetDelayReduction(500);
    EXPECT_EQ(player.DelayOf(1), 500);  // 1 s with speed 500
    player.SetDelayReduction(-500);
    EXPECT_EQ(player.DelayOf(1), 1500);
    player.SetFrameHeight56(true);
    EXPECT_EQ(player.DelayOf(1), 1510);
}

TEST(FramePlayer, LoopsThenStopsOnTheLastFrame) {
    CFramePlayer player;
    player.SetPicture(2, {5, 5});
    player.SetFramesLoaded(2);
    player.SetLoopCount(3);
    ASSERT_TRUE(player.PlayPause(nullptr));
    std::vector<int> shown;
    while (auto step = player.Next()) {
        shown.push_back(step->frame);
        EXPECT_EQ(step->delayMs, 50);
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(player.LoopCounter(), 3);
    EXPECT_EQ(player.CurrentFrame(), 1);
    EXPECT_FALSE(player.Running());
}

TEST(FramePlayer, PauseResumeAndStopRewinds) {
    CFramePlayer player;
    player.SetFramesLoaded(4);
    player.PlayPause(nullptr);
    player.Next();
    player.Next();
    EXPECT_EQ(player.CurrentFrame(), 1);
    player.PlayPause(nullptr);
    EXPECT_TRUE(player.Paused());
    player.PlayPause(nullptr);
    EXPECT_FALSE(player.Paused());
    EXPECT_TRUE(player.Stop());
    EXPECT_EQ(player.CurrentFrame(), 0);
    EXPECT_EQ(player.LoopCounter(), 0);
    EXPECT_FALSE(player.Stop());  // not running
}

TEST(FramePlayer, OneFrameCannotPlay) {
    test::RecordingSink sink;
    CFramePlayer player;
    player.SetPicture(1, {0});
    EXPECT_FALSE(player.PlayPause(&sink));
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("只有1帧！")});
    player.SetPicture(60, std::vector<int>(60, 1));
    EXPECT_EQ(player.FrameCount(), 50);
    EXPECT_TRUE(player.PlayPause(&sink));
    EXPECT_FALSE(player.Next().has_value());  // animated but no frames given: nothing to draw
}

TEST(FramePlayer, ResumeFinishesTheRestOfTheFramesDelay) {
    std::int64_t now = 1000;
    CFramePlayer player([&] { return now; });
    player.SetPicture(2, {50, 50});
    player.SetFramesLoaded(2);
    player.PlayPause(nullptr);
    ASSERT_EQ(player.Next()->delayMs, 500);
    now += 200;
    player.PlayPause(nullptr);  // pause 200 ms into the frame
    now += 5000;
    EXPECT_EQ(player.RemainingMs(), 300);  // a pause does not use up the delay
    player.PlayPause(nullptr);
    now += 100;
    EXPECT_EQ(player.RemainingMs(), 200);
    EXPECT_EQ(player.CurrentFrame(), 0);
    now += 200;
    EXPECT_EQ(player.RemainingMs(), 0);
    EXPECT_EQ(player.Next()->frame, 1);
}
