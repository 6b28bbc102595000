// SPDX-License-Identifier: GPL-3.0-or-later
// The editors' operations from glowdeck-cli: a whole show scripted.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>

#include "led/GifReader.h"
#include "led/GifWriter.h"
#include "led/ImageCodec.h"
#include "model/ItemOperations.h"
#include "model/ProjectFile.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"
#include "support/WebpBuilder.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

class CliEdit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Cli({"new", "--root", dir_.Path(), "show"}).code, 0);
        project_ = dir_.File("show");
        for (const char* kind : {"picture", "animation", "text", "interval"})
            ASSERT_EQ(Cli({"add", project_, "1", QString::fromLatin1(kind)}).code, 0);
    }
    CProjectFile File() { return CProjectFile(project_ + QStringLiteral("/Index.prj")); }
    QString Picture(int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = dir_.File(QStringLiteral("p%1x%2.jpg").arg(w).arg(h));
        EXPECT_TRUE(EncodeImage(image, path, QStringLiteral("image/jpeg")));
        return path;
    }
    TempDir dir_;
    QString project_;
};

}  // namespace

TEST_F(CliEdit, PictureSourceStoresSizeAndLength) {
    const QString before = File().GetAttr(0, 0, "id");
    const CliRun wide = Cli({"set-source", project_, "1", "1", Picture(1000, 500)});
    ASSERT_EQ(wide.code, 0) << wide.err.toStdString();
    EXPECT_TRUE(wide.out.contains(QStringLiteral("width=1000 height=500 length=112")));
    EXPECT_NE(File().GetAttr(0, 0, "id"), before);
    EXPECT_EQ(Cli({"set-source", project_, "1", "1", Picture(100, 300)}).code, 0);
    EXPECT_EQ(File().GetInt(0, 0, "length"), 18);
    const QString copied =
        project_ + QStringLiteral("/Images/") + File().GetAttr(0, 0, "id") + QStringLiteral(".bmp");
    EXPECT_EQ(ImageFileSize(copied), QSize(100, 300));
    EXPECT_EQ(Cli({"set-source", project_, "1", "1", dir_.Write("junk.jpg", "junk")}).code, 1);
    EXPECT_EQ(Cli({"set-source", project_, "1", "3", Picture(10, 10)}).code, 2);  // a text item
    EXPECT_EQ(Cli({"set-source", project_, "1", "9", Picture(10, 10)}).code, 1);  // no such item
}

TEST_F(CliEdit, AnimationSourceKeepsFiftyFramesAndTheirDelays) {
    std::vector<QImage> frames;
    std::vector<int> delays;
    for (int f = 0; f < 60; ++f) {
        QImage image(112, 112, QImage::Format_RGB32);
        image.fill(f % 2 ? Qt::white : Qt::black);
        frames.push_back(image);
        delays.push_back(f % 3);
    }
    QByteArray gif;
    ASSERT_TRUE(EncodeGif(frames, delays, 0, &gif));
    const CliRun set = Cli({"set-source", project_, "1", "2", dir_.Write("a.gif", gif)});
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    EXPECT_EQ(set.err.trimmed(), QStringLiteral("动画共 60 帧，只使用前 50 帧"));
    const CProjectFile file = File();
    EXPECT_EQ(file.GetInt(0, 1, "framecount"), 50);
    EXPECT_EQ(file.GetInt(0, 1, "flength"), 56);
    EXPECT_EQ(file.GetInt(0, 1, "length"), 56 * 50);
    const std::vector<int> stored = file.GetIntList(0, 1, "interval");
    ASSERT_EQ(stored.size(), 50u);
    EXPECT_EQ(stored[0], 0);
    EXPECT_EQ(stored[2], 2);
    EXPECT_EQ(Cli({"compile", project_}).code, 0);
    EXPECT_EQ(Cli({"inspect", project_ + QStringLiteral("/data.bin")}).code, 0);

    // A still GIF keeps no delay, whatever its one frame stores.
    QByteArray still;
    ASSERT_TRUE(EncodeGif({frames[0]}, {50}, 0, &still));
    ASSERT_EQ(Cli({"set-source", project_, "1", "2", dir_.Write("still.gif", still)}).code, 0);
    EXPECT_EQ(File().GetIntList(0, 1, "interval"), std::vector<int>{0});
}

TEST_F(CliEdit, FramesOptionSpreadsTheAnimationOverItsRunningTime) {
    // 60 frames, frame f all grey level f × 4, delays 0, 1, 2, 0, 1, 2, ...: 60 hundredths.
    std::vector<QImage> frames;
    std::vector<int> delays;
    for (int f = 0; f < 60; ++f) {
        QImage image(56, 56, QImage::Format_RGB32);
        image.fill(qRgb(f * 4, f * 4, f * 4));
        frames.push_back(image);
        delays.push_back(f % 3);
    }
    QByteArray gif;
    ASSERT_TRUE(EncodeGif(frames, delays, 0, &gif));
    const QString source = dir_.Write("a.gif", gif);
    const struct {
        int frames;
        std::vector<int> shown;  // source frame of each stored frame
        std::vector<int> interval;
    } cases[] = {
        {12, {1, 5, 11, 16, 20, 26, 31, 35, 41, 46, 50, 56}, std::vector<int>(12, 5)},
        {7, {1, 8, 17, 26, 35, 43, 52}, {8, 9, 8, 9, 8, 9, 9}},
        {1, {1}, {0}},  // one frame: a still picture keeps no delay
    };
    for (const auto& c : cases) {
        const CliRun set =
            Cli({"set-source", project_, "1", "2", source, "--frames", QString::number(c.frames)});
        ASSERT_EQ(set.code, 0) << set.err.toStdString();
        EXPECT_TRUE(set.err.isEmpty()) << set.err.toStdString();
        const CProjectFile file = File();
        EXPECT_EQ(file.GetInt(0, 1, "framecount"), c.frames);
        EXPECT_EQ(file.GetIntList(0, 1, "interval"), c.interval) << c.frames;
        const QString stored = project_ + QStringLiteral("/Images/") + file.GetAttr(0, 1, "id") +
                               QStringLiteral(".gif");
        const std::vector<QImage> read = ReadComposedFrames(stored, 50);
        ASSERT_EQ(read.size(), c.shown.size());
        for (size_t k = 0; k < read.size(); ++k)
            EXPECT_EQ(qRed(read[k].pixel(9, 9)), c.shown[k] * 4) << c.frames << " frame " << k;
    }
    EXPECT_EQ(Cli({"set-source", project_, "1", "2", source, "--frames", "51"}).code, 2);
    EXPECT_EQ(Cli({"set-source", project_, "1", "2", source, "--frames", "0"}).code, 2);
    EXPECT_EQ(Cli({"set-source", project_, "1", "1", Picture(9, 9), "--frames", "5"}).code, 2);
}

TEST_F(CliEdit, WebpAndTiffSourcesAreStoredAndCompile) {
    QImage wide(300, 150, QImage::Format_RGB32), tall(100, 300, QImage::Format_RGB32);
    wide.fill(Qt::red);
    tall.fill(Qt::blue);
    ASSERT_TRUE(wide.save(dir_.File("wide.webp"), "webp"));
    ASSERT_TRUE(tall.save(dir_.File("tall.tif"), "tiff"));
    // Frame k of the long one is grey 4 × k; its 55 frames of 10 ms run 55 hundredths.
    const std::vector<QImage> grey = GreyFrames(55, QSize(112, 56), 0, 4);
    const QString three = WriteAnimatedWebp(dir_, "three.webp",
                                            GreyFrames(3, QSize(112, 56), 0, 40), {34, 125, 2000});
    const QString long55 = WriteAnimatedWebp(dir_, "long.webp", grey, std::vector<int>(55, 10));
    const struct {
        const char* item;
        QString file;
        QStringList options;
        QString notice;
        std::vector<int> stored;  // width, height, length (and framecount, flength)
        std::vector<int> interval;
        std::vector<int> greys;  // level of each stored frame
    } cases[] = {
        {"1", dir_.File("wide.webp"), {}, {}, {300, 150, 112}, {}, {}},
        {"1", dir_.File("tall.tif"), {}, {}, {100, 300, 18}, {}, {}},
        {"2", three, {}, {}, {112, 56, 336, 3, 112}, {3, 13, 200}, {0, 40, 80}},
        {"2", dir_.File("wide.webp"), {}, {}, {300, 150, 112, 1, 112}, {0}, {}},
        {"2",
         long55,
         {},
         QStringLiteral("动画共 55 帧，只使用前 50 帧"),
         {112, 56, 5600, 50, 112},
         std::vector<int>(50, 1),
         {}},
        {"2",
         long55,
         {"--frames", "5"},
         {},
         {112, 56, 560, 5, 112},
         std::vector<int>(5, 11),
         {0, 44, 88, 132, 176}},
    };
    for (const auto& c : cases) {
        const CliRun set =
            Cli(QStringList{"set-source", project_, "1", QString::fromLatin1(c.item), c.file} +
                c.options);
        ASSERT_EQ(set.code, 0) << c.file.toStdString() << ": " << set.err.toStdString();
        EXPECT_EQ(set.err.trimmed(), c.notice) << c.file.toStdString();
        const CProjectFile file = File();
        const int item = c.item[0] - '1';
        const char* names[] = {"width", "height", "length", "framecount", "flength"};
        for (size_t k = 0; k < c.stored.size(); ++k)
            EXPECT_EQ(file.GetInt(0, item, names[k]), c.stored[k])
                << c.file.toStdString() << " " << names[k];
        if (item == 0) continue;
        EXPECT_EQ(file.GetIntList(0, 1, "interval"), c.interval) << c.file.toStdString();
        const QString gif = project_ + QStringLiteral("/Images/") + file.GetAttr(0, 1, "id") +
                            QStringLiteral(".gif");
        const std::vector<QImage> read = ReadComposedFrames(gif, 50);
        ASSERT_EQ(static_cast<int>(read.size()), c.stored[3]) << c.file.toStdString();
        for (size_t k = 0; k < c.greys.size(); ++k)
            EXPECT_EQ(qGreen(read[k].pixel(5, 5)), c.greys[k]) << c.file.toStdString() << " " << k;
    }
    EXPECT_EQ(Cli({"compile", project_}).code, 0);
}

TEST_F(CliEdit, SourcesTooWideOrUndecodableAreRefusedTouchingNothing) {
    QImage sliver(60000, 1, QImage::Format_RGB32);
    sliver.fill(Qt::gray);
    ASSERT_TRUE(sliver.save(dir_.File("sliver.png"), "PNG"));
    QByteArray gif;
    ASSERT_TRUE(EncodeGif({sliver}, {0}, 0, &gif));
    const QString sliverGif = dir_.Write("sliver.gif", gif);
    ASSERT_TRUE(EncodeGif({QImage(56, 56, QImage::Format_RGB32)}, {0}, 0, &gif));
    // Whole header and image descriptor, but the frame's data is cut off.
    const QString broken = dir_.Write("broken.gif", gif.left(gif.indexOf(',') + 10));
    const QByteArray index = ReadAll(project_ + QStringLiteral("/Index.prj"));
    const QStringList images = QDir(project_ + QStringLiteral("/Images")).entryList(QDir::Files);
    const struct {
        const char* item;
        QString file;
        const char* reason;
    } cases[] = {
        {"1", dir_.File("sliver.png"), "3360000"}, {"2", sliverGif, "3360000"}, {"2", broken, ""}};
    for (const auto& c : cases) {
        const CliRun run = Cli({"set-source", project_, "1", QString::fromLatin1(c.item), c.file});
        EXPECT_EQ(run.code, 1) << c.item << " " << c.file.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.reason))) << run.err.toStdString();
        EXPECT_FALSE(run.err.trimmed().isEmpty());
        EXPECT_EQ(ReadAll(project_ + QStringLiteral("/Index.prj")), index) << run.err.toStdString();
        EXPECT_EQ(QDir(project_ + QStringLiteral("/Images")).entryList(QDir::Files), images);
    }
}

TEST_F(CliEdit, TextConfirmationGivesANewIdAndEmptyTextFails) {
    const QString before = File().GetAttr(0, 2, "id");
    const CliRun set = Cli({"set-text", project_, "1", "3", QStringLiteral("中文 ABC"), "--color",
                            "green", "--size", "5", "--manual-spacing", "--offsets", "0,1.5,0,0"});
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    const CProjectFile file = File();
    EXPECT_NE(file.GetAttr(0, 2, "id"), before);
    EXPECT_EQ(file.GetText(0, 2, "text"), QStringLiteral("中文 ABC"));
    EXPECT_EQ(file.GetInt(0, 2, "textcolor"), 0x00FF00);
    EXPECT_EQ(file.GetInt(0, 2, "fontsize"), 5);
    EXPECT_EQ(file.GetInt(0, 2, "height"), 56);
    EXPECT_EQ(file.GetInt(0, 2, "length"), file.GetInt(0, 2, "width"));
    const QString id = file.GetAttr(0, 2, "id");
    const CliRun empty = Cli({"set-text", project_, "1", "3", ""});
    EXPECT_EQ(empty.code, 1);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("无法生成此种文字！")));
    EXPECT_EQ(File().GetAttr(0, 2, "id"), id);  // a failed render changes nothing
    // 200 characters are stored whole; one more is refused and nothing changes.
    const QString longest(200, QChar(u'字'));
    ASSERT_EQ(Cli({"set-text", project_, "1", "3", longest, "--size", "0"}).code, 0);
    EXPECT_EQ(File().GetText(0, 2, "text"), longest);
    const QByteArray index = ReadAll(project_ + QStringLiteral("/Index.prj"));
    const CliRun longer = Cli({"set-text", project_, "1", "3", longest + u'a', "--size", "0"});
    EXPECT_EQ(longer.code, 1);
    EXPECT_TRUE(longer.err.contains(QStringLiteral("201"))) << longer.err.toStdString();
    EXPECT_EQ(ReadAll(project_ + QStringLiteral("/Index.prj")), index);
    EXPECT_EQ(Cli({"set-text", project_, "1", "3", "x", "--color", "purple"}).code, 2);
}

TEST_F(CliEdit, TextOptionsOutsideTheirRangesAreRefusedUntouched) {
    const QString index = project_ + QStringLiteral("/Index.prj");
    const QByteArray before = ReadAll(index);
    const QList<QStringList> options = {
        {"--style", "99999"},   {"--style", "-1"},          {"--size", "-1"},
        {"--size", "abc"},      {"--size", "99999"},        {"--offsets", "99999,0,0,0"},
        {"--offsets", "0,0,0"}, {"--offsets", "0,0,0,nan"}, {"--offsets", "0,51,0,0"},
    };
    for (const QStringList& option : options) {
        const CliRun run = Cli(QStringList{"set-text", project_, "1", "3", "abc"} + option);
        EXPECT_EQ(run.code, 2) << option.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << option.join(' ').toStdString();
    }
    // Bytes that are not UTF-8, as a shell passes them.
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"),
                {"-c", "exec \"$0\" set-text \"$1\" 1 3 \"$(printf 'ab\\377\\376')\"",
                 QStringLiteral(GLOWDECK_CLI), project_});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 2);
    EXPECT_TRUE(shell.readAllStandardError().contains("UTF-8"));
    EXPECT_EQ(ReadAll(index), before);
    // The largest style is taken (the application object no longer swallows --style).
    ASSERT_EQ(Cli({"set-text", project_, "1", "3", "abc", "--style", "15", "--offsets",
                   "50,-50,100,-200"})
                  .code,
              0);
    EXPECT_EQ(File().GetInt(0, 2, "fontstyle"), 15);
}

TEST_F(CliEdit, IntervalAndThresholds) {
    const CliRun set =
        Cli({"set-interval", project_, "1", "4", "--length", "300", "--background", "0x00FFFF"});
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    const CProjectFile file = File();
    EXPECT_EQ(file.GetInt(0, 3, "length"), 300);
    EXPECT_EQ(file.GetInt(0, 3, "backcolor"), 0x00FFFF);
    const QString blank =
        project_ + QStringLiteral("/Images/") + file.GetAttr(0, 3, "id") + QStringLiteral(".jpg");
    const QImage image = DecodeImage(blank);
    ASSERT_EQ(image.size(), QSize(300, 56));
    EXPECT_GT(qRed(image.pixel(10, 10)), 240);  // yellow: 0x00BBGGRR 00FFFF
    EXPECT_GT(qGreen(image.pixel(10, 10)), 240);
    EXPECT_LT(qBlue(image.pixel(10, 10)), 20);
    EXPECT_EQ(Cli({"set-interval", project_, "1", "4", "--length", "301"}).code, 2);
    ASSERT_EQ(Cli({"set-threshold", project_, "1", "1", "0", "128", "255"}).code, 0);
    EXPECT_EQ(File().GetInt(0, 0, "g"), 128);
    EXPECT_EQ(Cli({"set-threshold", project_, "1", "1", "0", "128", "256"}).code, 2);
}

TEST_F(CliEdit, DitherOnAndOffListedAndCompiled) {
    // A grey picture: thresholded all lit, dithered about half.
    QImage grey(112, 56, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    const QString source = dir_.File("grey.bmp");
    ASSERT_TRUE(EncodeImage(grey, source, QStringLiteral("image/bmp")));
    ASSERT_EQ(Cli({"set-source", project_, "1", "1", source}).code, 0);
    ASSERT_EQ(Cli({"compile", project_}).code, 0);
    const QByteArray plain = ReadAll(project_ + QStringLiteral("/data.bin"));
    const QByteArray projectBefore = ReadAll(project_ + QStringLiteral("/Index.prj"));

    const CliRun on = Cli({"set-dither", project_, "1", "1", "on"});
    ASSERT_EQ(on.code, 0) << on.err.toStdString();
    EXPECT_EQ(on.out.trimmed(), QStringLiteral("id=%1 dither=on").arg(File().GetAttr(0, 0, "id")));
    EXPECT_TRUE(item_ops::Dithers(File(), 0, 0));
    EXPECT_EQ(Cli({"set-dither", project_, "1", "2", "on"}).code, 0);  // the animation
    const QStringList listed = Cli({"list", project_}).out.split(QLatin1Char('\n'));
    ASSERT_GE(listed.size(), 6);
    EXPECT_TRUE(listed[2].endsWith(QLatin1String(" dither"))) << listed[2].toStdString();
    EXPECT_TRUE(listed[3].endsWith(QLatin1String(" dither"))) << listed[3].toStdString();
    EXPECT_FALSE(listed[4].contains(QLatin1String("dither")));
    ASSERT_EQ(Cli({"compile", project_}).code, 0);
    const QByteArray dithered = ReadAll(project_ + QStringLiteral("/data.bin"));
    ASSERT_EQ(dithered.size(), plain.size());
    EXPECT_NE(dithered, plain);

    EXPECT_EQ(Cli({"set-dither", project_, "1", "2", "off"}).code, 0);
    const CliRun off = Cli({"set-dither", project_, "1", "1", "OFF"});
    ASSERT_EQ(off.code, 0) << off.err.toStdString();
    EXPECT_TRUE(off.out.contains(QLatin1String("dither=off")));
    EXPECT_EQ(ReadAll(project_ + QStringLiteral("/Index.prj")), projectBefore);
    ASSERT_EQ(Cli({"compile", project_}).code, 0);
    EXPECT_EQ(ReadAll(project_ + QStringLiteral("/data.bin")), plain);
}

TEST_F(CliEdit, DitherBadArgumentsFailWithAMessage) {
    const QByteArray before = ReadAll(project_ + QStringLiteral("/Index.prj"));
    for (const QStringList& args :
         {QStringList{"set-dither", project_, "1", "1", "maybe"},
          QStringList{"set-dither", project_, "1", "1"},
          QStringList{"set-dither", project_, "1", "3", "on"},     // a text item
          QStringList{"set-dither", project_, "1", "4", "on"},     // an interval
          QStringList{"set-dither", project_, "1", "9", "on"}}) {  // no such item
        const CliRun run = Cli(args);
        EXPECT_NE(run.code, 0) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(run.err.trimmed().isEmpty()) << args.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_EQ(ReadAll(project_ + QStringLiteral("/Index.prj")), before);
}

TEST(ItemOperations, MissingSourceBecomesAPurplePictureOnDisk) {
    TempDir dir;
    const QString path = dir.File("missing.bmp");
    const QImage picture = item_ops::LoadOrPlaceholder(path, 40, 30);
    EXPECT_EQ(picture.size(), QSize(40, 30));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(128, 0, 128));
    const QImage onDisk = DecodeImage(path);
    ASSERT_EQ(onDisk.size(), QSize(40, 30));
    EXPECT_NEAR(qRed(onDisk.pixel(20, 15)), 128, 3);
    EXPECT_NEAR(qBlue(onDisk.pixel(20, 15)), 128, 3);
    EXPECT_EQ(item_ops::ParseColour(QStringLiteral("Magenta")), 0xFF00FFu);
    EXPECT_EQ(item_ops::ParseColour(QStringLiteral("0xff0000")), 0xFF0000u);
    EXPECT_FALSE(item_ops::ParseColour(QStringLiteral("0x1000000")).has_value());
}

TEST_F(CliEdit, EditsThatOverfillTheBallAreStoredAndSaySo) {
    // 56 × 4000 / 9 = 24888 columns of 21 bytes: more than the ball's 500000.
    const CliRun wide = Cli({"set-source", project_, "1", "1", Picture(4000, 9)});
    ASSERT_EQ(wide.code, 0) << wide.err.toStdString();
    EXPECT_EQ(File().GetInt(0, 0, "length"), 24888);
    EXPECT_TRUE(wide.err.contains(QStringLiteral("超过彩球的存储空间 500000 字节")))
        << wide.err.toStdString();
    const CliRun text = Cli({"set-text", project_, "1", "3", QStringLiteral("彩球")});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    EXPECT_TRUE(text.err.contains(QStringLiteral("超过彩球的存储空间"))) << text.err.toStdString();
    // Once it fits again nothing is said.
    const CliRun narrow = Cli({"set-source", project_, "1", "1", Picture(100, 100)});
    ASSERT_EQ(narrow.code, 0);
    EXPECT_TRUE(narrow.err.isEmpty()) << narrow.err.toStdString();
}

TEST_F(CliEdit, ReplacedImagesGoAndCleanRemovesWhatNoItemUses) {
    const QString images = project_ + QStringLiteral("/Images");
    auto files = [&] {
        QStringList names = QDir(images).entryList(QDir::Files);
        names.sort();
        return names;
    };
    auto used = [&] {
        const CProjectFile file = File();
        QStringList names;
        for (int i = 0; i < 4; ++i)
            names << file.GetAttr(0, i, "id") + QLatin1String(i == 1   ? ".gif"
                                                              : i == 3 ? ".jpg"
                                                                       : ".bmp");
        names.sort();
        return names;
    };
    // Five intervals, a text and a picture later, each item has one file.
    for (int length = 1; length <= 5; ++length)
        ASSERT_EQ(
            Cli({"set-interval", project_, "1", "4", "--length", QString::number(length)}).code, 0);
    ASSERT_EQ(Cli({"set-text", project_, "1", "3", "ab"}).code, 0);
    ASSERT_EQ(Cli({"set-source", project_, "1", "1", Picture(20, 10)}).code, 0);
    EXPECT_EQ(files(), used());

    dir_.Write(QStringLiteral("show/Images/stray.jpg"), "x");
    const CliRun clean = Cli({"clean", project_});
    EXPECT_EQ(clean.code, 0) << clean.err.toStdString();
    EXPECT_EQ(clean.out, QStringLiteral("removed Images/stray.jpg\n1 file removed, 1 bytes\n"));
    EXPECT_EQ(files(), used());
    EXPECT_EQ(Cli({"clean", project_}).out, QStringLiteral("0 files removed, 0 bytes\n"));
    EXPECT_EQ(Cli({"clean", project_, "extra"}).code, 2);
}
