// SPDX-License-Identifier: GPL-3.0-or-later
// The show preview drawn from compiled bytes: the strip still shows every
// LED as its packed bits say, the ball puts a column at its longitude, and
// the animations keep their compiled delays.
#include <gtest/gtest.h>

#include <QImageReader>
#include <cmath>

#include "compile/DataFileReader.h"
#include "led/GifReader.h"
#include "led/LedOrder.h"
#include "show/BallRenderer.h"
#include "show/Show.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::Cli;
using glowdeck::test::CliRun;
using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

namespace {

QString Golden(const char* name) {
    return QStringLiteral(GLOWDECK_TEST_DATA "/") + QString::fromLatin1(name);
}

// The colour an LED's packed bits ask for, read straight from the wiring
// table: a cleared bit lights its channel. An LED that is off is dark grey.
QRgb PackedColour(const QByteArray& data, long long columnStart, int row, LedTable table) {
    const ColumnLayout layout = LayoutOf(table);
    int lit[3] = {0, 0, 0};
    for (int c = 0; c < layout.channels; ++c) {
        const int p = layout.order[layout.channels * row + c] - 1;
        const auto byte = static_cast<unsigned char>(data[int(columnStart + p / 8)]);
        lit[c] = (byte & (1u << (p % 8))) ? 0 : 255;
    }
    if (lit[0] + lit[1] + lit[2] == 0) return qRgb(36, 36, 36);
    return qRgb(lit[0], lit[1], lit[2]);
}

struct GoldenCase {
    const char* file;
    const char* ball;
    const char* layer;
    LedTable table;
    int columnBytes;
};

}  // namespace

// Every LED of every group at its dot's centre, for each ball and layer.
TEST(ShowRender, StripStillShowsThePackedBitsOfEveryLed) {
    const GoldenCase cases[] = {
        {"mixed_single.data.bin", "1", "outer", LedTable::Single, 21},
        {"mixed_outer.data.bin", "2", "outer", LedTable::Outer, 21},
        {"mixed_inner.data.bin", "2", "inner", LedTable::Inner, 14},
    };
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const QString png = dir.File("show.png");
        const CliRun run = Cli({"render", Golden(c.file), "--out", png, "--ball", c.ball, "--layer",
                                c.layer, "--size", "224"});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        const QByteArray data = ReadAll(Golden(c.file));
        DataIndex index;
        QStringList problems;
        ASSERT_TRUE(ReadDataIndex(data, c.columnBytes, &index, &problems, nullptr));
        const QImage picture = QImage(png).convertToFormat(QImage::Format_RGB32);
        // 4 pixels a dot (224 / 56), strips 8 pixels apart.
        const int pitch = 4, stripStep = 56 * pitch + 2 * pitch;
        ASSERT_EQ(picture.height(), static_cast<int>(index.groups.size()) * stripStep - 2 * pitch);
        int checked = 0;
        for (size_t g = 0; g < index.groups.size(); ++g)
            for (int x = 0; x < index.groups[g].columns; ++x)
                for (int row = 0; row < LedRows; ++row) {
                    const QRgb want = PackedColour(
                        data,
                        index.groups[g].dataOffset + static_cast<long long>(x) * c.columnBytes, row,
                        c.table);
                    const QRgb got = picture.pixel(x * pitch + pitch / 2,
                                                   int(g) * stripStep + row * pitch + pitch / 2);
                    ASSERT_EQ(got, want) << "group " << g + 1 << " column " << x << " row " << row;
                    ++checked;
                }
        EXPECT_GT(checked, 56 * 20);
    }
}

namespace {

// A show of one group of `columns` dark columns but one white column.
QByteArray OneLitColumn(int columns, int lit) {
    QByteArray data(22, '\0');
    data[0] = char(0xAA);
    data[1] = 1;
    data[2] = 22;  // the group's header follows the fixed part
    const int dataOffset = 28;
    data.append(char(dataOffset)).append('\0').append('\0');
    data.append(char(columns & 0xFF)).append(char(columns >> 8)).append('\0');
    for (int x = 0; x < columns; ++x) data.append(QByteArray(21, x == lit ? '\0' : char(0xFF)));
    return data;
}

}  // namespace

// Column k of 112 lies at longitude (k + 0.5) / 112 × 360° less the turn:
// seen from the front at x = centre + R sin(longitude), lit there, dark at
// the mirrored longitude.
TEST(ShowRender, BallShowsALitColumnAtItsLongitude) {
    struct Case {
        int column;
        double turn;
    };
    const Case cases[] = {{0, 0}, {10, 0}, {100, 0}, {56, 180}, {28, 100}, {84, 300}, {5, 3.7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << " turn " << c.turn);
        const std::optional<CShow> show = CShow::Read(OneLitColumn(112, c.column), {1, 0}, nullptr);
        ASSERT_TRUE(show);
        const ShowGroup& group = show->Groups()[0];
        const std::vector<int> strip = group.StripAt(0);
        CBallRenderer renderer;
        renderer.SetView(400, 0, 112);
        QImage picture;
        renderer.Render(&picture, {&group.columns, &strip}, c.turn);
        const double longitude = ((c.column + 0.5) / 112 * 360 - c.turn) * M_PI / 180;
        ASSERT_GT(std::cos(longitude), 0.3) << "the case must face the viewer";
        // Row 27's centre: latitude 90 − 27.5 × 180 / 56 degrees.
        const double latitude = (90 - 27.5 * 180 / 56) * M_PI / 180;
        const double radius = 400 / 2.0 - 1;
        const int x = int(200 + radius * std::cos(latitude) * std::sin(longitude));
        const int y = int(200 - radius * std::sin(latitude));
        const int mirrored = int(200 - radius * std::cos(latitude) * std::sin(longitude));
        const QRgb lit = picture.pixel(x, y), dark = picture.pixel(mirrored, y);
        EXPECT_GT(qRed(lit), 100);
        EXPECT_EQ(qRed(lit), qGreen(lit));
        EXPECT_EQ(qRed(lit), qBlue(lit));
        if (std::abs(x - mirrored) > 6) {
            EXPECT_LT(qRed(dark), 60);
        }
    }
}

namespace {

struct Animation {
    int frames = 0;
    std::vector<int> delaysMs;
};

Animation ReadAnimation(const QString& path) {
    Animation a;
    if (path.endsWith(QLatin1String(".gif"))) {
        const std::optional<GifFileInfo> info = ReadGifInfo(path);
        if (!info) return a;
        a.frames = info->frameCount;
        for (int d : info->delays) a.delaysMs.push_back(d * 10);
        return a;
    }
    QImageReader reader(path);
    QImage frame;
    while (reader.read(&frame)) {
        ++a.frames;
        a.delaysMs.push_back(reader.nextImageDelay());
    }
    return a;
}

int Sum(const std::vector<int>& v) {
    int s = 0;
    for (int x : v) s += x;
    return s;
}

}  // namespace

// The mixed golden show's first group holds an animation of three frames
// (100, 200 and 10 ms: intervals 10, 20 and 0) played twice; its second
// group has none.
TEST(ShowRender, AnimationsKeepTheCompiledDelays) {
    const std::vector<int> compiled{100, 200, 10, 100, 200, 10};
    for (const char* format : {"gif", "webp"}) {
        SCOPED_TRACE(format);
        TempDir dir;
        const QString out = dir.File(QStringLiteral("strip.") + QLatin1String(format));
        ASSERT_EQ(
            Cli({"render", Golden("mixed_single.data.bin"), "--group", "1", "--out", out}).code, 0);
        const Animation strip = ReadAnimation(out);
        EXPECT_EQ(strip.frames, 6);
        EXPECT_EQ(strip.delaysMs, compiled);

        // The ball: at least one turn and no less than the animation's run,
        // in at least 24 frames.
        struct Case {
            const char* group;
            const char* turnSeconds;
            int totalMs;
            int minFrames;
        };
        for (const Case& c : {Case{"1", "0.5", 620, 24}, Case{"2", "2", 2000, 50}}) {
            const QString ball = dir.File(QStringLiteral("ball.") + QLatin1String(format));
            const CliRun run =
                Cli({"render", Golden("mixed_single.data.bin"), "--view", "ball", "--group",
                     c.group, "--turn-seconds", c.turnSeconds, "--size", "120", "--out", ball});
            ASSERT_EQ(run.code, 0) << run.err.toStdString();
            const Animation turning = ReadAnimation(ball);
            EXPECT_GE(turning.frames, c.minFrames);
            EXPECT_EQ(Sum(turning.delaysMs), c.totalMs);
        }
    }
}

// A strip GIF's frames show the animation's frames in turn, LED by LED.
TEST(ShowRender, StripAnimationShowsEachFrameOfTheAnimation) {
    TempDir dir;
    const QString out = dir.File("strip.gif");
    ASSERT_EQ(Cli({"render", Golden("mixed_single.data.bin"), "--group", "1", "--size", "56",
                   "--out", out})
                  .code,
              0);
    const QByteArray data = ReadAll(Golden("mixed_single.data.bin"));
    DataIndex index;
    QStringList problems;
    ASSERT_TRUE(ReadDataIndex(data, 21, &index, &problems, nullptr));
    const DataIndex::Group& group = index.groups[0];
    const DataIndex::Animation& animation = group.animations[0];
    const int before = int((animation.dataOffset - group.dataOffset) / 21);
    QImageReader reader(out);
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        QImage frame;
        ASSERT_TRUE(reader.read(&frame));
        frame = frame.convertToFormat(QImage::Format_RGB32);
        // One pixel a dot; the strip is the still columns and one frame.
        ASSERT_EQ(frame.width(), group.columns - animation.columnSum + 4);
        for (int x = 0; x < 4; ++x)
            for (int row = 0; row < LedRows; ++row)
                ASSERT_EQ(frame.pixel(before + x, row),
                          PackedColour(data, animation.dataOffset + ((k % 3) * 4 + x) * 21, row,
                                       LedTable::Single))
                    << "column " << x << " row " << row;
    }
}

// An edited project is compiled before it is shown; an unchanged one is not.
TEST(ShowRender, ProjectChangedSinceItsCompileIsCompiledFirst) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", "--root", dir.Path(), "p"}).code, 0);
    const QString project = dir.File("p");
    ASSERT_EQ(Cli({"add", project, "1", "interval"}).code, 0);
    ASSERT_EQ(Cli({"compile", project, "--ball", "1"}).code, 0);
    ASSERT_EQ(
        Cli({"set-interval", project, "1", "1", "--length", "10", "--background", "red"}).code, 0);
    const QString png = dir.File("show.png");
    const CliRun first = Cli({"render", project, "--ball", "1", "--size", "56", "--out", png});
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.contains(QStringLiteral("compiled"))) << first.out.toStdString();
    // The interval, now red and 10 columns long.
    const QImage picture(png);
    EXPECT_EQ(picture.pixel(picture.width() - 1, 20), qRgb(255, 0, 0));
    const QByteArray compiled = ReadAll(project + QStringLiteral("/data.bin"));
    const CliRun again = Cli({"render", project, "--ball", "1", "--out", png});
    ASSERT_EQ(again.code, 0);
    EXPECT_FALSE(again.out.contains(QStringLiteral("compiled"))) << again.out.toStdString();
    // Asked for the inner layer, the outer layer's data is compiled again.
    const CliRun inner = Cli({"render", project, "--ball", "2", "--layer", "inner", "--out", png});
    ASSERT_EQ(inner.code, 0) << inner.err.toStdString();
    EXPECT_TRUE(inner.out.contains(QStringLiteral("compiled")));
    EXPECT_NE(ReadAll(project + QStringLiteral("/data.bin")).size(), compiled.size());
}

TEST(ShowRender, BadArgumentsAreUsageErrors) {
    TempDir dir;
    const QString data = Golden("mixed_single.data.bin"), out = dir.File("x.png");
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{data}, "--out"},
        {{data, "--out", dir.File("x.jpg")}, ".png, .gif or .webp"},
        {{data, "--out", out, "--view", "side"}, "strip or ball"},
        {{data, "--out", out, "--group", "0"}, "from 1 to 10"},
        {{data, "--out", out, "--group", "3"}, "the show has 2 groups"},
        {{data, "--out", out, "--size", "10"}, "from 56 to 4000"},
        {{data, "--out", out, "--turn-seconds", "0.1"}, "0.5 to 60"},
        {{data, "--out", out, "--columns-per-turn", "x"}, "from 8 to 4096"},
        {{data, "--out", out, "--ball", "3"}, "usage"},
        {{data, data, "--out", out}, "usage"},
        {{"--out", out}, "usage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = Cli(QStringList{"render"} + c.args);
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}

namespace {

// A show of one group of 112 columns, every LED in one colour (all bits set
// is dark), in 21 or 14 bytes a column.
QByteArray OneColour(char fill, int columnBytes) {
    QByteArray data = OneLitColumn(112, -1);
    data.truncate(28);
    return data + QByteArray(112 * columnBytes, fill);
}

}  // namespace

// A double ball: the inner ball shows through where the outer LEDs are dark,
// and lit outer LEDs cover it; outside the inner ball only the outer shows.
TEST(ShowRender, InnerBallShowsInsideTheDarkOuterBall) {
    const struct {
        char outer;
        QRgb centreIs;  // brightest channel colour expected at the centre
    } cases[] = {{char(0xFF), qRgb(255, 255, 0)}, {char(0x00), qRgb(255, 255, 255)}};
    for (const auto& c : cases) {
        TempDir dir;
        const QString outer = dir.Write("outer.bin", OneColour(c.outer, 21));
        const QString inner = dir.Write("inner.bin", OneColour(char(0x00), 14));  // yellow
        const QString png = dir.File("ball.png");
        const CliRun run = Cli(
            {"render", outer, "--inner", inner, "--view", "ball", "--size", "200", "--out", png});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        const QImage picture = QImage(png).convertToFormat(QImage::Format_RGB32);
        // The brightest pixel near the centre, and in the outer ball's rim.
        const auto brightest = [&](int cx, int cy) {
            QRgb best = 0;
            for (int y = cy - 5; y < cy + 5; ++y)
                for (int x = cx - 5; x < cx + 5; ++x)
                    if (qGray(picture.pixel(x, y)) > qGray(best)) best = picture.pixel(x, y);
            return best;
        };
        const QRgb centre = brightest(100, 100), rim = brightest(100, 20);
        EXPECT_EQ(qBlue(centre) > 100, qBlue(c.centreIs) > 0);
        EXPECT_GT(qRed(centre), 100);
        EXPECT_GT(qGreen(centre), 100);
        EXPECT_EQ(qRed(rim) > 100, c.outer == 0) << "rim " << std::hex << rim;
    }
    EXPECT_EQ(Cli({"render", Golden("mixed_outer.data.bin"), "--inner",
                   Golden("mixed_inner.data.bin"), "--out", "x.png"})
                  .code,
              2);  // the inner ball needs the ball view
}
