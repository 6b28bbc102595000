// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck-cli compile and inspect, run as a user would.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <functional>

#include "model/ProjectFile.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using glowdeck::test::Cli;
using glowdeck::test::CliRun;
using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

namespace {

class CliCompile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Cli({"new", "--root", dir_.Path(), "p"}).code, 0);
        project_ = dir_.File("p");
        for (const char* kind : {"picture", "animation", "text", "interval"})
            ASSERT_EQ(Cli({"add", project_, "1", QString::fromLatin1(kind)}).code, 0);
    }
    TempDir dir_;
    QString project_;
};

}  // namespace

TEST_F(CliCompile, CompileThenInspectIsConsistent) {
    const CliRun compiled = Cli({"compile", project_, "--ball", "1"});
    ASSERT_EQ(compiled.code, 0) << compiled.err.toStdString();
    // 74 + 1 (untouched animation: one frame of one column) + 74 + 1 columns.
    EXPECT_TRUE(compiled.out.contains(QStringLiteral("1 groups, 4 items, 150 columns")))
        << compiled.out.toStdString();
    const QString data = project_ + QStringLiteral("/data.bin");
    const CliRun inspected = Cli({"inspect", data, "--png", dir_.File("ball.png")});
    EXPECT_EQ(inspected.code, 0) << inspected.out.toStdString();
    EXPECT_TRUE(inspected.out.contains(QStringLiteral("consistent")));
    EXPECT_TRUE(inspected.out.contains(QStringLiteral("animation 1: data at")));
    const QImage picture(dir_.File("ball.png"));
    EXPECT_EQ(picture.size(), QSize(150, 56));
}

TEST_F(CliCompile, InnerLayerUses14BytesPerColumn) {
    ASSERT_EQ(Cli({"compile", project_, "--ball", "2", "--layer", "inner"}).code, 0);
    const CliRun inspected = Cli({"inspect", project_ + QStringLiteral("/data.bin")});
    EXPECT_EQ(inspected.code, 0);
    EXPECT_TRUE(inspected.out.contains(QStringLiteral("14 bytes (inner layer)")))
        << inspected.out.toStdString();
    EXPECT_EQ(Cli({"compile", project_, "--ball", "3"}).code, 2);
    EXPECT_EQ(Cli({"compile", project_, "--layer", "middle"}).code, 2);
}

// A compile with nothing to do leaves data.bin as it is (the compile stamp
// answers it); after any change of what it reads it compiles again, to the
// bytes a compile without the cache writes.
TEST_F(CliCompile, NothingChangedIsAnsweredOnlyWhileEveryInputIsAsCompiled) {
    glowdeck::test::CliSetup cache;
    cache.environment << QStringLiteral("XDG_CACHE_HOME=") + dir_.File("cache");
    const QString data = project_ + QStringLiteral("/data.bin");
    const QString picture =
        project_ + QStringLiteral("/Images/") +
        glowdeck::CProjectFile(project_ + QStringLiteral("/Index.prj")).ItemId(0, 0) +
        QStringLiteral(".bmp");
    // The file data.bin is: a compile writes a new one (an inode may be
    // used again at once, its change time is not).
    auto inode = [&] {
        struct stat st {};
        if (::stat(QFile::encodeName(data).constData(), &st) != 0) return std::string();
        return std::to_string(st.st_ino) + ' ' + std::to_string(st.st_ctim.tv_sec) + '.' +
               std::to_string(st.st_ctim.tv_nsec);
    };
    // What a compile without the cache writes for the project as it is now.
    auto uncached = [&](const QStringList& options) {
        const QString copy = dir_.File("reference");
        QDir(copy).removeRecursively();
        EXPECT_TRUE(QDir().mkpath(copy + QStringLiteral("/Images")));
        EXPECT_TRUE(QFile::copy(project_ + QStringLiteral("/Index.prj"),
                                copy + QStringLiteral("/Index.prj")));
        for (const QString& name :
             QDir(project_ + QStringLiteral("/Images")).entryList(QDir::Files))
            EXPECT_TRUE(QFile::copy(project_ + QStringLiteral("/Images/") + name,
                                    copy + QStringLiteral("/Images/") + name));
        EXPECT_EQ(Cli(QStringList{"compile", copy, "--no-cache"} + options).code, 0);
        return ReadAll(copy + QStringLiteral("/data.bin"));
    };
    ASSERT_EQ(Cli({"compile", project_}, cache).code, 0);
    struct Case {
        const char* what;
        std::function<void()> change;
        QStringList options;
        bool answered;  // data.bin left as it was
    };
    const Case cases[] = {
        {"nothing", [] {}, {}, true},
        {"an edit",
         [&] {
             ASSERT_EQ(Cli({"set-interval", project_, "1", "4", "--length", "7"}).code, 0);
         },
         {},
         false},
        {"nothing again", [] {}, {}, true},
        {"the picture rewritten in place",
         [&] {
             QImage red(400, 300, QImage::Format_RGB32);
             red.fill(Qt::red);
             ASSERT_TRUE(QFile::exists(picture));
             ASSERT_TRUE(red.save(picture, "JPEG"));  // read by content
         },
         {},
         false},
        {"data.bin written by another program",
         [&] { ASSERT_TRUE(QFile(data).resize(10)); },
         {},
         false},
        {"another ball", [] {}, {"--ball", "2"}, false},
        {"nothing for that ball", [] {}, {"--ball", "2"}, true},
    };
    for (const Case& c : cases) {
        c.change();
        const QByteArray before = ReadAll(data);
        const auto inodeBefore = inode();
        const CliRun run = Cli(QStringList{"compile", project_} + c.options, cache);
        ASSERT_EQ(run.code, 0) << c.what << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("compiled ") + data +
                                       QStringLiteral(": 1 groups, 4 items, ")))
            << c.what << run.out.toStdString();
        EXPECT_TRUE(run.err.endsWith(QStringLiteral("compile: 100 %\n"))) << c.what;
        EXPECT_EQ(inode() == inodeBefore, c.answered) << c.what;
        if (c.answered) {
            EXPECT_EQ(ReadAll(data), before) << c.what;
        }
        EXPECT_EQ(ReadAll(data), uncached(c.options)) << c.what;
    }
}

TEST_F(CliCompile, MissingImageFailsAndKeepsTheOldFile) {
    ASSERT_EQ(Cli({"compile", project_}).code, 0);
    const QString data = project_ + QStringLiteral("/data.bin");
    const QByteArray before = ReadAll(data);
    glowdeck::CProjectFile file(project_ + QStringLiteral("/Index.prj"));
    QFile::remove(project_ + QStringLiteral("/Images/") + file.GetAttr(0, 2, "id") +
                  QStringLiteral(".bmp"));
    const CliRun failed = Cli({"compile", project_});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.err.contains(QStringLiteral("Lose Group1 item3 image file!")));
    EXPECT_EQ(ReadAll(data), before);
}

TEST_F(CliCompile, IdLeavingTheProjectIsRefusedByEveryCommand) {
    const QString index = project_ + QStringLiteral("/Index.prj");
    {
        glowdeck::CProjectFile file(index);
        file.SetAttr(0, 3, "id", QStringLiteral("../../../outside/secret"));
        ASSERT_TRUE(file.Save());
    }
    const QByteArray before = ReadAll(index);
    const QList<QStringList> commands = {
        {"compile", project_},
        {"set-threshold", project_, "1", "1", "1", "2", "3"},
        {"set-interval", project_, "1", "4", "--length", "3"},
        {"set-text", project_, "1", "3", "abc"},
    };
    for (const QStringList& command : commands) {
        const CliRun run = Cli(command);
        EXPECT_EQ(run.code, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("项目文件有误："))) << run.err.toStdString();
    }
    EXPECT_EQ(ReadAll(index), before);
    EXPECT_FALSE(QFile::exists(project_ + QStringLiteral("/data.bin")));
    const CliRun list = Cli({"list", project_});
    EXPECT_EQ(list.code, 1);
    EXPECT_TRUE(list.out.contains(QStringLiteral("not a plain file name")))
        << list.out.toStdString();
}

TEST(CliInspect, DamagedFilesGiveClearMessages) {
    TempDir dir;
    const CliRun empty = Cli({"inspect", dir.Write("e.bin", QByteArray())});
    EXPECT_EQ(empty.code, 1);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("too short")));
    const CliRun garbage = Cli({"inspect", dir.Write("g.bin", QByteArray(500, 'x'))});
    EXPECT_EQ(garbage.code, 1);
    EXPECT_TRUE(garbage.err.contains(QStringLiteral("not a data file")));
    const QByteArray golden = ReadAll(QStringLiteral(GLOWDECK_TEST_DATA "/mixed_single.data.bin"));
    const CliRun cut = Cli({"inspect", dir.Write("c.bin", golden.left(golden.size() - 5))});
    EXPECT_EQ(cut.code, 1);
    EXPECT_TRUE(cut.out.contains(QStringLiteral("problem:")));
    EXPECT_EQ(Cli({"inspect", dir.File("missing.bin")}).code, 1);
}
