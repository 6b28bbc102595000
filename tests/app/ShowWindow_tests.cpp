// SPDX-License-Identifier: GPL-3.0-or-later
// The show window reads the compiled show, plays the groups in turn and
// reads data.bin again when a compile replaces it; its choices are settings.
#include <gtest/gtest.h>

#include <QSettings>
#include <QSpinBox>
#include <QTest>

#include "app/CShowWindow.h"
#include "model/GlowdeckDoc.h"
#include "show/Show.h"
#include "show/ShowPlayer.h"
#include "support/CliRunner.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

std::optional<CShow> GoldenShow() {
    return CShow::Read(ReadAll(QStringLiteral(GLOWDECK_TEST_DATA "/mixed_single.data.bin")), {1, 0},
                       nullptr);
}

}  // namespace

// Group 1 of the golden show runs its animation for 620 ms, group 2 has none.
TEST(ShowPlayer, EachGroupStaysItsTimeOrWhileItsAnimationRuns) {
    const std::optional<CShow> show = GoldenShow();
    ASSERT_TRUE(show);
    CShowPlayer player;
    player.SetShow(&*show);
    player.SetGroupMs(500);
    EXPECT_EQ(player.DurationOf(0), 620);
    EXPECT_EQ(player.DurationOf(1), 500);
    const struct {
        long long advance;
        double speed;
        int group;
        long long groupMs;
    } steps[] = {
        {600, 1, 0, 600}, {30, 1, 1, 10},    {489, 1, 1, 499},  {1, 1, 0, 0},
        {100, 2, 0, 200}, {1, 0.25, 0, 200}, {3, 0.25, 0, 201},
    };
    for (const auto& s : steps) {
        player.SetSpeed(s.speed);
        player.Advance(s.advance);
        EXPECT_EQ(player.Group(), s.group) << "after " << s.advance;
        EXPECT_EQ(player.GroupMs(), s.groupMs) << "after " << s.advance;
    }
    player.SetPlaying(false);
    player.Advance(5000);
    EXPECT_EQ(player.GroupMs(), 201);
}

TEST(ShowWindow, ReadsTheShowAgainAfterACompile) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", "--root", dir.Path(), "p"}).code, 0);
    const QString project = dir.File("p");
    ASSERT_EQ(Cli({"add", project, "1", "interval"}).code, 0);
    ASSERT_EQ(Cli({"set-interval", project, "1", "1", "--length", "30"}).code, 0);
    ASSERT_EQ(Cli({"compile", project, "--ball", "1"}).code, 0);

    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetLockPolicy(QString(), 0);
    ASSERT_TRUE(doc.OpenProjectFolder(project));
    CShowWindow window(doc);
    window.SetBall({1, 0});
    ASSERT_TRUE(window.Show());
    ASSERT_EQ(window.Show()->Groups().size(), 1u);
    EXPECT_EQ(window.Show()->Groups()[0].StoredColumns(), 30);

    // Another compile replaces data.bin: the window follows without being told.
    ASSERT_EQ(Cli({"set-interval", project, "1", "1", "--length", "12"}).code, 0);
    ASSERT_EQ(Cli({"compile", project, "--ball", "1"}).code, 0);
    QTRY_VERIFY_WITH_TIMEOUT(window.Show() && window.Show()->Groups()[0].StoredColumns() == 12,
                             30000);

    // The columns a turn are a program setting.
    auto* columns = window.findChild<QSpinBox*>(QStringLiteral("columnsPerTurn"));
    ASSERT_TRUE(columns);
    ASSERT_EQ(columns->value(), 112);
    columns->setValue(120);
    EXPECT_EQ(QSettings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"))
                  .value(QStringLiteral("放映/每圈列数"))
                  .toInt(),
              120);
    EXPECT_EQ(window.ColumnsPerTurn(), 120);
}
