// SPDX-License-Identifier: GPL-3.0-or-later
// Video clips as animation sources, from glowdeck-cli: clips made with
// ffmpeg at test time, decoded by glowdeck-video.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <numeric>

#include "led/GifReader.h"
#include "led/GifWriter.h"
#include "led/VideoClip.h"
#include "model/ProjectFile.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"
#include "support/VideoBuilder.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

class CliVideo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Cli({"new", "--root", dir_.Path(), "show"}).code, 0);
        project_ = dir_.File("show");
        for (const char* kind : {"picture", "animation"})
            ASSERT_EQ(Cli({"add", project_, "1", QString::fromLatin1(kind)}).code, 0);
    }
    CProjectFile File() { return CProjectFile(project_ + QStringLiteral("/Index.prj")); }
    // The animation item's GIF.
    QString Gif() {
        return project_ + QStringLiteral("/Images/") + File().GetAttr(0, 1, "id") + ".gif";
    }
    CliRun SetSource(const QString& item, const QString& file, const QStringList& options = {}) {
        return Cli(QStringList{"set-source", project_, "1", item, file} + options);
    }
    TempDir dir_;
    QString project_;
};

}  // namespace

TEST(ClipDelays, RoundBoundariesSoTheDelaysAddUpToTheStretch) {
    const struct {
        std::vector<double> times;
        double start, end;
        std::vector<int> delays;
    } cases[] = {
        {{0, 0.1, 0.2}, 0, 0.3, {10, 10, 10}},
        // 30 frames a second: each frame within a hundredth of 3.33.
        {{0, 1 / 30.0, 2 / 30.0, 3 / 30.0}, 0, 4 / 30.0, {3, 4, 3, 3}},
        // Variable rate; the last frame runs to the end.
        {{0, 0.033, 0.5}, 0, 0.52, {3, 47, 2}},
        // The frame on screen at the start counts from the start only.
        {{0.9, 1.0, 1.25}, 0.95, 1.3, {5, 25, 5}},
    };
    for (const auto& c : cases) EXPECT_EQ(ClipDelays(c.times, c.start, c.end), c.delays);
}

TEST_F(CliVideo, ClipsAreTakenWholeOrSpreadOverTheirLength) {
    const QString ten = WriteGreyRamp(dir_, "ten.mp4", 10, 10);      // 1 s
    const QString sixty = WriteGreyRamp(dir_, "sixty.mp4", 60, 30);  // 2 s
    const struct {
        QString file;
        QStringList options;
        int frames;
        int total;               // hundredths
        std::vector<int> greys;  // level of the first stored frames
    } cases[] = {
        {ten, {}, 10, 100, {0, 20, 40, 60}},
        {ten, {"--frames", "5"}, 5, 100, {0, 40, 80, 120, 160}},
        // 60 frames are spread to 50 of 4 hundredths: frames 0, 1, 2, 3, 4, 6, …
        {sixty, {}, 50, 200, {0, 20, 40, 60, 80, 120}},
        // Frames 30 to 44 (levels 600 and 620 wrapped), half a second.
        {sixty, {"--start", "1", "--duration", "0.5"}, 15, 50, {88, 108}},
        // Frames 57 to 59 (levels 1140, 1160 and 1180 wrapped), to the end.
        {sixty, {"--start", "1.9"}, 3, 10, {116, 136, 156}},
        {WriteGreyRamp(dir_, "vp9.webm", 5, 10, {"-c:v", "libvpx-vp9"}), {}, 5, 50, {0, 20}},
        {WriteGreyRamp(dir_, "vp8.mkv", 5, 10, {"-c:v", "libvpx"}), {}, 5, 50, {0, 20}},
        {WriteGreyRamp(dir_, "mpeg4.avi", 5, 10, {"-c:v", "mpeg4", "-q:v", "1"}), {}, 5, 50, {0}},
        {WriteGreyRamp(dir_, "h264.mov", 5, 10), {}, 5, 50, {0, 20}},
    };
    for (const auto& c : cases) {
        const std::string what =
            (QFileInfo(c.file).fileName() + " " + c.options.join(' ')).toStdString();
        const CliRun set = SetSource("2", c.file, c.options);
        ASSERT_EQ(set.code, 0) << what << ": " << set.err.toStdString();
        const CProjectFile file = File();
        EXPECT_EQ(file.GetInt(0, 1, "width"), 32) << what;
        EXPECT_EQ(file.GetInt(0, 1, "height"), 16) << what;
        EXPECT_EQ(file.GetInt(0, 1, "framecount"), c.frames) << what;
        EXPECT_EQ(file.GetInt(0, 1, "length"), 112 * c.frames) << what;
        const std::vector<int> delays = file.GetIntList(0, 1, "interval");
        EXPECT_EQ(std::accumulate(delays.begin(), delays.end(), 0), c.total) << what;
        for (const int d : delays)
            EXPECT_LE(std::abs(d * c.frames - c.total), c.frames) << what;  // within a hundredth
        const std::vector<QImage> read = ReadComposedFrames(Gif(), 50);
        ASSERT_EQ(static_cast<int>(read.size()), c.frames) << what;
        for (size_t k = 0; k < c.greys.size(); ++k)
            EXPECT_NEAR(qGreen(read[k].pixel(16, 8)), c.greys[k], 6) << what << " frame " << k;
    }
    EXPECT_EQ(Cli({"compile", project_}).code, 0);
}

// A clip whose stream says it is shown turned is stored as players show it
// (as ffmpeg's own player turns it).
TEST_F(CliVideo, TurnedClipsAreStoredUpright) {
    const QString clip =
        WriteClip(dir_, "square.mp4",
                  "color=c=black:s=32x16:r=10:d=0.3,drawbox=x=0:y=0:w=8:h=8:c=white:t=fill",
                  {"-c:v", "libx264", "-pix_fmt", "yuv420p"});
    // The corner the white square shows in, turned 90, 180 and 270 degrees.
    const QPoint white[] = {{3, 28}, {28, 12}, {12, 3}};
    for (int k = 0; k < 3; ++k) {
        const QString name = QStringLiteral("turned%1.mp4").arg(k);
        ASSERT_EQ(SetSource("2", WriteTurnedClip(dir_, name, clip, 90 * (k + 1))).code, 0);
        const QImage shown = ReadComposedFrames(Gif(), 1).at(0);
        ASSERT_EQ(shown.size(), k == 1 ? QSize(32, 16) : QSize(16, 32));
        for (const QPoint corner :
             {QPoint(3, 3), QPoint(3, shown.height() - 4), QPoint(shown.width() - 4, 3),
              QPoint(shown.width() - 4, shown.height() - 4)})
            EXPECT_EQ(qGreen(shown.pixel(corner)) > 128, corner == white[k]) << k;
    }
}

TEST_F(CliVideo, StretchesOutsideTheClipAreUsageErrors) {
    const QString clip = WriteGreyRamp(dir_, "ten.mp4", 10, 10);
    QByteArray gif;
    ASSERT_TRUE(EncodeGif({QImage(8, 8, QImage::Format_RGB32)}, {0}, 0, &gif));
    const QString still = dir_.Write("still.gif", gif);
    const struct {
        QString item, file;
        QStringList options;
        QString says;
    } cases[] = {
        {"2", clip, {"--start", "-1"}, "--start takes seconds from 0 to 86400"},
        {"2", clip, {"--duration", "0"}, "--duration takes seconds above 0"},
        {"2", clip, {"--duration", "-0.5"}, "--duration takes seconds above 0"},
        {"2", clip, {"--start", "1"}, "--start 1 is past the end of the clip (1.00 seconds)"},
        {"2", clip, {"--start", "5", "--duration", "1"}, "is past the end of the clip"},
        {"2", still, {"--start", "0.5"}, "--start and --duration take a video clip"},
        {"1", clip, {"--duration", "0.5"}, "--start and --duration take an animation item"},
    };
    const QString before = File().GetAttr(0, 1, "id");
    for (const auto& c : cases) {
        const CliRun set = SetSource(c.item, c.file, c.options);
        EXPECT_EQ(set.code, 2) << c.options.join(' ').toStdString();
        EXPECT_TRUE(set.err.contains(c.says)) << set.err.toStdString();
    }
    EXPECT_EQ(File().GetAttr(0, 1, "id"), before);
}

TEST_F(CliVideo, UndecodableClipsAreRefusedWithTheDecodersReason) {
    const QByteArray whole = ReadAll(WriteGreyRamp(dir_, "whole.mp4", 10, 10));
    const QString silent = WriteClip(dir_, "silent.mkv", "anullsrc=r=8000:cl=mono",
                                     {"-t", "0.2", "-c:a", "pcm_s16le"});
    const struct {
        QString file, reason;
    } cases[] = {
        // Cut before its index (ffmpeg writes it last).
        {dir_.Write("cut.mp4", whole.left(whole.size() / 2)), "Invalid data found"},
        {silent, "no video stream"},
    };
    const QString before = File().GetAttr(0, 1, "id");
    for (const auto& c : cases) {
        const CliRun set = SetSource("2", c.file);
        EXPECT_EQ(set.code, 1) << c.file.toStdString();
        EXPECT_TRUE(set.err.startsWith(QStringLiteral("无法使用 %1：").arg(c.file)))
            << set.err.toStdString();
        EXPECT_TRUE(set.err.contains(c.reason)) << set.err.toStdString();
        EXPECT_FALSE(set.err.contains("Unknown error")) << set.err.toStdString();
    }
    EXPECT_EQ(File().GetAttr(0, 1, "id"), before);
}

// Only glowdeck-video links FFmpeg: the programs, and commands that open no
// video, never load it (nor OpenCV's video module).
TEST_F(CliVideo, OnlyTheDecoderLoadsVideoLibraries) {
    const QString bin = QFileInfo(QStringLiteral(GLOWDECK_CLI)).absolutePath();
    auto linked = [](const QString& program) {
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {program});
        EXPECT_TRUE(ldd.waitForFinished(30000));
        return QString::fromLocal8Bit(ldd.readAllStandardOutput());
    };
    const QStringList video{"libavcodec", "libavformat", "libswscale", "opencv_videoio"};
    for (const QString& program :
         {QStringLiteral(GLOWDECK_CLI), bin + QStringLiteral("/glowdeck")}) {
        const QString libraries = linked(program);
        EXPECT_TRUE(libraries.contains("libQt6Core")) << libraries.toStdString();
        for (const QString& name : video)
            EXPECT_FALSE(libraries.contains(name))
                << program.toStdString() << " links " << name.toStdString();
    }
    EXPECT_TRUE(linked(bin + QStringLiteral("/glowdeck-video")).contains("libavcodec"));
    // At run time: the dynamic loader names every library a command loads.
    ASSERT_EQ(SetSource("2", WriteGreyRamp(dir_, "ten.mp4", 10, 10)).code, 0);
    CliSetup traced;
    traced.environment << QStringLiteral("LD_DEBUG=files");
    const CliRun compile = Cli({"compile", project_}, traced);
    ASSERT_EQ(compile.code, 0);
    EXPECT_TRUE(compile.err.contains("libQt6Core"));
    for (const QString& name : video)
        EXPECT_FALSE(compile.err.contains(name)) << name.toStdString();
}
