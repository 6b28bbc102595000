// SPDX-License-Identifier: GPL-3.0-or-later
// What glowdeck-cli promises about a project's files when the disk is full,
// when two programs work on one project, and when a compile is killed.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>

#include "model/ProjectLock.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using glowdeck::CProjectLock;
using glowdeck::test::Cli;
using glowdeck::test::CliRun;
using glowdeck::test::CliSetup;
using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

namespace {

QStringList FilesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next().mid(folder.size() + 1);
    files.sort();
    return files;
}

int ItemLines(const QString& listing) {
    int n = 0;
    for (const QString& line : listing.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("  "))) ++n;
    return n;
}

// A project holding one picture and its compiled data.bin.
QString MakeCompiledProject(const QString& root) {
    EXPECT_EQ(Cli({"new", "--root", root, "show"}).code, 0);
    const QString project = root + QStringLiteral("/show");
    EXPECT_EQ(Cli({"add", project, "1", "picture"}).code, 0);
    const CliRun compiled = Cli({"compile", project});
    EXPECT_EQ(compiled.code, 0) << compiled.err.toStdString();
    return project;
}

// Two ways to run out of space: a file-size limit on the command (works for
// any user) and a real full file system (a small tmpfs, needs root).
enum class FullDisk { FileSizeLimit, Tmpfs };

class FullDiskTest : public ::testing::TestWithParam<FullDisk> {
protected:
    void SetUp() override {
        root_ = dir_.File(QStringLiteral("disk"));
        QDir().mkpath(root_);
        if (GetParam() == FullDisk::Tmpfs) {
            if (::mount("tmpfs", QFile::encodeName(root_).constData(), "tmpfs", 0, "size=512k") !=
                0)
                GTEST_SKIP() << "mounting a tmpfs needs root";
            mounted_ = true;
        }
        project_ = MakeCompiledProject(root_);
    }
    void TearDown() override {
        if (mounted_) ::umount2(QFile::encodeName(root_).constData(), MNT_DETACH);
    }

    void FillDisk() {
        if (GetParam() == FullDisk::FileSizeLimit) {
            setup_.fileSizeLimit = 64;
            return;
        }
        QFile filler(root_ + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        filler.close();
    }
    void FreeDisk() {
        setup_.fileSizeLimit = -1;
        QFile::remove(root_ + QStringLiteral("/filler"));
    }

    TempDir dir_;
    QString root_, project_;
    bool mounted_ = false;
    CliSetup setup_;
};

TEST_P(FullDiskTest, FailedWritesChangeNothingAndFailLoudly) {
    const QByteArray projectBefore = ReadAll(project_ + QStringLiteral("/Index.prj"));
    const QByteArray dataBefore = ReadAll(project_ + QStringLiteral("/data.bin"));
    const QStringList filesBefore = FilesUnder(project_);
    ASSERT_FALSE(dataBefore.isEmpty());
    FillDisk();
    // A column cache of its own: the compile has everything to write (one
    // with nothing to do writes nothing, and so needs no room).
    setup_.environment << QStringLiteral("XDG_CACHE_HOME=") + dir_.File(QStringLiteral("cache"));

    // A save of the project file alone, an add (image and project file), a compile.
    for (const QStringList& command :
         {QStringList{"add-group", project_}, QStringList{"add", project_, "1", "text"},
          QStringList{"compile", project_}}) {
        const CliRun run = Cli(command, setup_);
        EXPECT_EQ(run.code, 1) << command.join(' ').toStdString() << run.out.toStdString();
        EXPECT_FALSE(run.err.trimmed().isEmpty()) << command.join(' ').toStdString();
        EXPECT_EQ(ReadAll(project_ + QStringLiteral("/Index.prj")), projectBefore);
        EXPECT_EQ(ReadAll(project_ + QStringLiteral("/data.bin")), dataBefore);
        EXPECT_EQ(FilesUnder(project_), filesBefore)
            << "left behind: " << command.join(' ').toStdString();
    }

    FreeDisk();
    ASSERT_EQ(Cli({"add", project_, "1", "text"}).code, 0);
    const CliRun list = Cli({"list", project_});
    EXPECT_EQ(ItemLines(list.out), 2) << list.out.toStdString();
    EXPECT_EQ(Cli({"compile", project_}).code, 0);
    EXPECT_GT(ReadAll(project_ + QStringLiteral("/data.bin")).size(), dataBefore.size());
}

// Space for the small project file but not for an item's new image: the edit
// fails as a whole, and the item keeps its old image.
TEST(ImageWrite, FailedImageWriteFailsTheEdit) {
    TempDir dir;
    const QString project = MakeCompiledProject(dir.Path());
    ASSERT_EQ(Cli({"add", project, "1", "text"}).code, 0);
    QImage photo(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x, y, x ^ y));
    const QString source = dir.File("photo.bmp");
    ASSERT_TRUE(photo.save(source, "BMP"));
    CliSetup small;
    small.fileSizeLimit = 8192;
    const QByteArray projectBefore = ReadAll(project + QStringLiteral("/Index.prj"));
    ASSERT_LT(projectBefore.size(), small.fileSizeLimit);
    const QStringList filesBefore = FilesUnder(project);
    for (const QStringList& command :
         {QStringList{"set-text", project, "1", "2", QStringLiteral("欢迎光临欢迎光临")},
          QStringList{"set-source", project, "1", "1", source}}) {
        const CliRun run = Cli(command, small);
        EXPECT_EQ(run.code, 1) << command.join(' ').toStdString() << run.out.toStdString();
        EXPECT_FALSE(run.err.trimmed().isEmpty()) << command.join(' ').toStdString();
        EXPECT_EQ(ReadAll(project + QStringLiteral("/Index.prj")), projectBefore);
        EXPECT_EQ(FilesUnder(project), filesBefore) << command.join(' ').toStdString();
    }
    const CliRun compiled = Cli({"compile", project});
    EXPECT_EQ(compiled.code, 0) << compiled.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Disk, FullDiskTest,
                         ::testing::Values(FullDisk::FileSizeLimit, FullDisk::Tmpfs));

class SharedProject : public ::testing::Test {
protected:
    void SetUp() override { project_ = MakeCompiledProject(dir_.Path()); }
    TempDir dir_;
    QString project_;
};

TEST_F(SharedProject, ConcurrentCommandsWaitForEachOtherAndLoseNothing) {
    // Two scripts adding items to the same project at the same time, and two compiles.
    const int perScript = 25;
    const QString script =
        QStringLiteral("for i in $(seq %1); do \"$0\" add \"$1\" 1 %2 || exit 1; done")
            .arg(perScript);
    QProcess a, b, c, d;
    a.start(QStringLiteral("bash"), {"-c", script.arg("picture"), GLOWDECK_CLI, project_});
    b.start(QStringLiteral("bash"), {"-c", script.arg("interval"), GLOWDECK_CLI, project_});
    c.start(QStringLiteral(GLOWDECK_CLI), {"compile", project_});
    d.start(QStringLiteral(GLOWDECK_CLI), {"compile", project_});
    for (QProcess* p : {&a, &b, &c, &d}) {
        ASSERT_TRUE(p->waitForFinished(300000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    const CliRun list = Cli({"list", project_});
    EXPECT_EQ(ItemLines(list.out), 1 + 2 * perScript) << list.out.toStdString();
    // One image per item: nothing orphaned, nothing missing.
    EXPECT_EQ(QDir(project_ + QStringLiteral("/Images")).entryList(QDir::Files).size(),
              1 + 2 * perScript);
    // Both compiles left one whole data.bin and no temporary file.
    const CliRun inspected = Cli({"inspect", project_ + QStringLiteral("/data.bin")});
    EXPECT_EQ(inspected.code, 0) << inspected.out.toStdString() << inspected.err.toStdString();
    EXPECT_TRUE(QDir(project_).entryList({QStringLiteral("*.tmp")}, QDir::Files).isEmpty());
}

TEST_F(SharedProject, TheDesktopProgramIsNotWaitedFor) {
    CProjectLock desktop;
    QString why;
    ASSERT_TRUE(desktop.Acquire(project_, CProjectLock::DesktopProgram(), 0, &why))
        << why.toStdString();
    const QByteArray before = ReadAll(project_ + QStringLiteral("/Index.prj"));
    const CliRun add = Cli({"add", project_, "1", "picture"});
    EXPECT_EQ(add.code, 1);
    EXPECT_TRUE(add.err.contains(QStringLiteral("桌面程序"))) << add.err.toStdString();
    EXPECT_TRUE(add.err.contains(QString::number(::getpid()))) << add.err.toStdString();
    EXPECT_EQ(ReadAll(project_ + QStringLiteral("/Index.prj")), before);
    // Reading is never locked out.
    EXPECT_EQ(Cli({"list", project_}).code, 0);
    desktop.Release();
    EXPECT_EQ(Cli({"add", project_, "1", "picture"}).code, 0);
}

TEST_F(SharedProject, AWaitThatRunsOutNamesTheHolder) {
    CProjectLock other;
    QString why;
    ASSERT_TRUE(other.Acquire(project_, CProjectLock::CommandLineProgram(), 0, &why));
    CliSetup setup;
    setup.environment << QStringLiteral("GLOWDECK_LOCK_WAIT=0.2");
    const CliRun compile = Cli({"compile", project_}, setup);
    EXPECT_EQ(compile.code, 1);
    EXPECT_TRUE(compile.err.contains(QStringLiteral("glowdeck-cli（进程 %1）").arg(::getpid())))
        << compile.err.toStdString();
}

TEST_F(SharedProject, ACompileCleansUpAfterAKilledOne) {
    // What a compile killed with SIGKILL leaves: its uniquely named temporary
    // file (and the fixed name older versions used).
    const QByteArray before = ReadAll(project_ + QStringLiteral("/data.bin"));
    QFile::copy(project_ + QStringLiteral("/data.bin"),
                project_ + QStringLiteral("/data.bin.4242-0badf00d.tmp"));
    QFile::copy(project_ + QStringLiteral("/data.bin"), project_ + QStringLiteral("/data.bin.new"));
    ASSERT_EQ(Cli({"compile", project_}).code, 0);
    EXPECT_EQ(ReadAll(project_ + QStringLiteral("/data.bin")), before);
    EXPECT_EQ(QDir(project_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase),
              QStringList({"data.bin", "Index.prj"}));
}

}  // namespace
