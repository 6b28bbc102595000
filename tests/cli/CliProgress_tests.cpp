// SPDX-License-Identifier: GPL-3.0-or-later
// The progress display of compile and send: the bar on a terminal with the
// time left, plain lines elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/CliProgress.h"

using glowdeck::CliProgress;

namespace {

// Collects what the display writes, on a clock the test moves.
class Screen {
public:
    Screen() { out_ = open_memstream(&buffer_, &size_); }
    ~Screen() {
        std::fclose(out_);
        std::free(buffer_);
    }
    std::FILE* Out() { return out_; }
    std::string Text() {
        std::fflush(out_);
        return std::string(buffer_, size_);
    }
    double now = 100.0;
    CliProgress::Clock Clock() {
        return [this] { return now; };
    }

private:
    std::FILE* out_;
    char* buffer_ = nullptr;
    size_t size_ = 0;
};

std::string LastDrawn(const std::string& text) {
    const auto from = text.rfind('\r');
    const std::string line = text.substr(from == std::string::npos ? 0 : from + 1);
    return line.substr(0, line.find("\x1b[K"));
}

}  // namespace

TEST(CliProgressPlain, OneLinePerTenPercentStepAndNoCarriageReturns) {
    Screen screen;
    CliProgress progress(QStringLiteral("compile"), false, screen.Out(), screen.Clock());
    for (int k = 0; k <= 200; ++k) progress.Update(k, 200);
    progress.Finish();
    const std::string text = screen.Text();
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(
        text,
        "compile: 0 %\ncompile: 10 %\ncompile: 20 %\ncompile: 30 %\ncompile: 40 %\ncompile: 50 %\n"
        "compile: 60 %\ncompile: 70 %\ncompile: 80 %\ncompile: 90 %\ncompile: 100 %\n");
}

TEST(CliProgressPlain, SkippedStepsAreNotMadeUp) {
    Screen screen;
    CliProgress progress(QStringLiteral("compile"), false, screen.Out(), screen.Clock());
    progress.Update(1, 4);
    progress.Update(1, 4);
    progress.Update(4, 4);
    EXPECT_EQ(screen.Text(), "compile: 20 %\ncompile: 100 %\n");
}

TEST(CliProgressTerminal, TimeLeftExtrapolatesFromTheTimeSoFar) {
    Screen screen;
    CliProgress progress(QStringLiteral("send"), true, screen.Out(), screen.Clock());
    screen.now += 30;  // a quarter in 30 s: 90 s to go
    progress.Update(250, 1000);
    EXPECT_EQ(LastDrawn(screen.Text()), "send [#######-----------------------]  25 %  1:30 left");
}

TEST(CliProgressTerminal, NoEstimateFromTheFirstMoments) {
    Screen screen;
    CliProgress progress(QStringLiteral("send"), true, screen.Out(), screen.Clock());
    screen.now += 0.1;
    progress.Update(500, 1000);  // half in a tenth of a second says nothing yet
    EXPECT_NE(LastDrawn(screen.Text()).find("..."), std::string::npos);
    screen.now += 10;
    progress.Update(5, 1000);  // under 1 %
    EXPECT_EQ(LastDrawn(screen.Text()).find("left"), std::string::npos);
}

TEST(CliProgressTerminal, RedrawsInPlaceAndEndsTheLineOnFinish) {
    Screen screen;
    CliProgress progress(QStringLiteral("compile"), true, screen.Out(), screen.Clock());
    progress.Update(1, 2);
    progress.Update(1, 2);  // unchanged: not drawn again
    progress.Update(2, 2);
    progress.Finish();
    progress.Finish();  // a second finish adds no empty line
    const std::string text = screen.Text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 2);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("100 %  0:00 left"), std::string::npos);
}

TEST(CliProgressTerminal, FinishWithoutABarPrintsNothing) {
    Screen screen;
    CliProgress progress(QStringLiteral("compile"), true, screen.Out(), screen.Clock());
    progress.Finish();
    EXPECT_EQ(screen.Text(), "");
}

TEST(CliProgressTerminal, NothingToDoIsComplete) {
    Screen screen;
    CliProgress progress(QStringLiteral("compile"), true, screen.Out(), screen.Clock());
    progress.Update(0, 0);
    EXPECT_NE(LastDrawn(screen.Text()).find("100 %"), std::string::npos);
}

TEST(CliProgressDuration, MinutesAndHours) {
    EXPECT_EQ(CliProgress::Duration(7.4).toStdString(), "0:07");
    EXPECT_EQ(CliProgress::Duration(89.6).toStdString(), "1:30");
    EXPECT_EQ(CliProgress::Duration(3723).toStdString(), "1:02:03");
    EXPECT_EQ(CliProgress::Duration(-3).toStdString(), "0:00");
}
