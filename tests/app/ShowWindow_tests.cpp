// SPDX-License-Identifier: GPL-3.0-or-later
// The show window reads the compiled show, plays the groups in turn and
// reads data.bin again when a compile replaces it; its choices are settings.
// Of a double ball it shows either layer or both, compiling the layer
// data.bin does not hold itself.
#include <gtest/gtest.h>

#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <cmath>

#include "app/CShowWindow.h"
#include "compile/ProjectCompiler.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
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
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.Show() && window.Show()->Groups()[0].StoredColumns() == 12; }, 30000));

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

namespace {

// Which of the eight LED colours (bit 0 red, 1 green, 2 blue) the ball view
// shows at the centre of each dot of a ball `share` × the picture's radius
// that faces the viewer. Untilted and turned by `turnDeg`, row r and column
// d (of 112 a turn) lie at latitude 90° − (r + ½) × 180°/56 and longitude
// (d + ½) × 360°/112 − turn.
std::vector<int> ColoursAtDots(const QImage& view, double share, double turnDeg) {
    const int size = std::min(view.width(), view.height());
    const double cx = (view.width() - size) / 2 + size / 2.0;
    const double cy = (view.height() - size) / 2 + size / 2.0;
    const double radius = (size / 2.0 - 1) * share;
    std::vector<int> colours;
    for (int row = 0; row < 56; ++row)
        for (int d = 0; d < 112; ++d) {
            const double phi = (90 - (row + 0.5) * 180 / 56) * M_PI / 180;
            const double lambda = ((d + 0.5) * 360 / 112 - turnDeg) * M_PI / 180;
            if (std::cos(phi) * std::cos(lambda) < 0.5) continue;  // near the rim or behind
            const QRgb p = view.pixel(int(cx + radius * std::cos(phi) * std::sin(lambda)),
                                      int(cy - radius * std::sin(phi)));
            colours.push_back((qRed(p) > 50 ? 1 : 0) | (qGreen(p) > 50 ? 2 : 0) |
                              (qBlue(p) > 50 ? 4 : 0));
        }
    return colours;
}

QImage BallView(CShowWindow& window) {
    return window.Views()->currentWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

// A double ball whose data.bin holds the outer layer: "双层" shows the inner
// ball, compiled by the window, inside the outer one in the inner layer's
// red and green only; "内层" shows it alone. The project's files stay as
// they were, and after an edit and a compile the new inner layer is shown.
TEST(ShowWindow, DoubleBallShowsTheInnerBallInsideTheOuterOne) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", "--root", dir.Path(), "p"}).code, 0);
    const QString project = dir.File("p");
    ASSERT_EQ(Cli({"add", project, "1", "interval"}).code, 0);
    ASSERT_EQ(
        Cli({"set-interval", project, "1", "1", "--length", "112", "--background", "white"}).code,
        0);
    ASSERT_EQ(Cli({"compile", project, "--ball", "2", "--layer", "outer"}).code, 0);
    const QString dataPath = project + QStringLiteral("/data.bin");
    const QString indexPath = project + QStringLiteral("/Index.prj");

    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"));
    settings.setValue(QStringLiteral("放映/倾角"), 0);
    settings.setValue(QStringLiteral("放映/每圈列数"), 112);
    settings.setValue(QStringLiteral("放映/视图"), 1);
    settings.setValue(QStringLiteral("放映/层"), int(CShowWindow::Layers::Outer));

    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetLockPolicy(QString(), 0);
    ASSERT_TRUE(doc.OpenProjectFolder(project));
    CShowWindow window(doc);
    window.Player().SetPlaying(false);
    window.SetBall({2, 0});
    window.resize(700, 460);
    window.show();
    QSignalSpy compiled(&window, &CShowWindow::layerCompiled);

    // Each colour (0xBBGGRR) with what the inner and the outer ball show of it.
    const struct {
        unsigned background;
        int inner, outer;
    } steps[] = {{0xFFFFFF, 3, 7}, {0xFFFF00, 2, 6}};
    for (size_t k = 0; k < std::size(steps); ++k) {
        const auto& step = steps[k];
        SCOPED_TRACE(testing::Message() << "background " << std::hex << step.background);
        if (k > 0) {
            ASSERT_TRUE(item_ops::ApplyInterval(doc, 0, 0, 112, step.background));
            CProjectCompiler compiler(doc, sink);
            ASSERT_TRUE(compiler.Compile({2, 0}));
        }
        const QByteArray data = ReadAll(dataPath), index = ReadAll(indexPath);

        window.SetLayers(CShowWindow::Layers::Outer);
        for (int colour : ColoursAtDots(BallView(window), 0.6, window.TurnDeg()))
            ASSERT_NE(colour, step.inner);

        window.SetLayers(CShowWindow::Layers::Both);
        ASSERT_TRUE(QTest::qWaitFor([&] { return compiled.count() > int(k); }, 60000));
        ASSERT_TRUE(compiled.back()[0].toBool()) << window.StatusText().toStdString();
        ASSERT_TRUE(window.InsideShow());
        // Where no lit outer LED covers it, the inner ball's LED shows.
        const std::vector<int> both = ColoursAtDots(BallView(window), 0.6, window.TurnDeg());
        ASSERT_GT(both.size(), 300u);
        int inner = 0;
        for (int colour : both) {
            ASSERT_TRUE(colour == step.inner || colour == step.outer) << colour;
            inner += colour == step.inner;
        }
        EXPECT_GT(inner, static_cast<int>(both.size()) / 4);

        window.SetLayers(CShowWindow::Layers::Inner);
        const std::vector<int> alone = ColoursAtDots(BallView(window), 1.0, window.TurnDeg());
        ASSERT_GT(alone.size(), 800u);
        for (int colour : alone) ASSERT_EQ(colour, step.inner);

        EXPECT_EQ(ReadAll(dataPath), data);
        EXPECT_EQ(ReadAll(indexPath), index);
    }
    EXPECT_EQ(compiled.count(), 2);
}
