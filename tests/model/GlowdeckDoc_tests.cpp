// SPDX-License-Identifier: GPL-3.0-or-later
// The document's project steps: settings, create and open, and the start-up
// dialogs around them.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <csignal>

#include "app/ProjectStart.h"
#include "model/GlowdeckDoc.h"
#include "model/ProjectFile.h"
#include "support/FakeHosts.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;
using Choice = IProjectDialogs::StartChoice;

namespace {

class DocTest : public ::testing::Test {
protected:
    DocTest() : doc_(sink_) {
        start_.SetDialogs(&dialogs_);
        root_ = dir_.File("projects/");
        program_ = dir_.File("bin");
        QDir().mkpath(program_);
        dir_.Write("bin/setting.ini", "[PATH]\nPROJECT=" + root_.toUtf8() + "\n");
    }
    TempDir dir_;
    QString root_, program_;
    RecordingSink sink_;
    ScriptedDialogs dialogs_;
    CGlowdeckDoc doc_;
    CProjectStart start_{doc_};
    RecordingAnnouncements heard_{doc_};
};

}  // namespace

TEST(DocSettings, DefaultsWithoutSettingFile) {
    TempDir dir;
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    EXPECT_EQ(doc.ProjectRoot(), QDir::homePath() + QStringLiteral("/TOVRIX/"));
    EXPECT_TRUE(doc.ProjectFolder().endsWith(QStringLiteral("/TOVRIX/DEMO/")));
    EXPECT_TRUE(doc.SourceImagePath(0, 0).endsWith(QStringLiteral("/TOVRIX/DEMO/IMAGES/DEMO.JPG")));
    doc.LoadSettings(dir.Path());
    EXPECT_EQ(doc.IniPath(), dir.Path() + QStringLiteral("/setting.ini"));
    EXPECT_EQ(doc.BuildHint(), QStringLiteral("编译后，可以向彩球发送编译数据！"));
    EXPECT_EQ(doc.ProjectRoot(), QDir::homePath() + QStringLiteral("/TOVRIX/"));
    EXPECT_EQ(doc.ProjectFile(), nullptr);
    EXPECT_FALSE(doc.NeedsCompile());
}

TEST(DocSettings, PathsAreFormedFromRootAndName) {
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetProjectRoot(QStringLiteral("/r"));  // the separator is added when missing
    doc.SetProjectPaths(QStringLiteral("球"));
    EXPECT_EQ(doc.ProjectFolder(), QStringLiteral("/r/球/"));
    EXPECT_EQ(doc.ImagesFolder(), QStringLiteral("/r/球/Images/"));
    EXPECT_EQ(doc.ProjectFilePath(), QStringLiteral("/r/球/Index.prj"));
    EXPECT_EQ(doc.DataFilePath(), QStringLiteral("/r/球/data.bin"));
}

TEST_F(DocTest, StartUpLoopsUntilAProjectIsCreated) {
    ASSERT_TRUE(QDir().mkpath(root_ + QStringLiteral("taken")));
    dialogs_.starts = {Choice::OpenProject, Choice::NewProject, Choice::NewProject};
    dialogs_.names = {QStringLiteral("taken"), QStringLiteral("新建项目")};
    ASSERT_TRUE(start_.StartUp(program_));
    EXPECT_EQ(dialogs_.startShown, 3);
    EXPECT_EQ(dialogs_.askedFolders, QStringList{root_});
    EXPECT_EQ(heard_.title, QStringLiteral("新建项目"));
    EXPECT_EQ(heard_.lines,
              (QStringList{QStringLiteral("project 新建项目"), QStringLiteral("group 新建组")}));
    EXPECT_TRUE(doc_.NeedsCompile());
    EXPECT_TRUE(sink_.texts.isEmpty());  // a failed create is silent
}

TEST_F(DocTest, LeavingTheStartDialogEndsStartUp) {
    dialogs_.starts = {Choice::NewProject, Choice::Quit};  // the name dialog is cancelled
    EXPECT_FALSE(start_.StartUp(program_));
    EXPECT_EQ(dialogs_.startShown, 2);
}

TEST_F(DocTest, CreateWritesFolderImagesAndProjectFile) {
    doc_.LoadSettings(program_);
    ASSERT_TRUE(doc_.CreateProjectNamed(QStringLiteral("新建项目")));
    EXPECT_TRUE(QFileInfo(root_ + QStringLiteral("新建项目/Images")).isDir());
    CProjectFile file(root_ + QStringLiteral("新建项目/Index.prj"));
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(file.ProjectName(), QStringLiteral("新建项目"));
    ASSERT_EQ(file.GroupCount(), 1);
    EXPECT_EQ(file.GroupName(0), QStringLiteral("新建组"));

    const EditResult exists = doc_.CreateProjectNamed(QStringLiteral("新建项目"));
    EXPECT_FALSE(exists.ok);
    EXPECT_FALSE(exists.message.isEmpty());
    EXPECT_FALSE(doc_.CreateProjectNamed(QString()));  // the root itself exists
    EXPECT_FALSE(doc_.CreateProjectNamed(QStringLiteral("a/b")));
    EXPECT_TRUE(sink_.texts.isEmpty());
    // The old project stays open after a failed create.
    EXPECT_EQ(doc_.ProjectFile()->ProjectName(), QStringLiteral("新建项目"));
}

// Writing the new project fails (here: a file-size limit of 0, as a full
// disk refuses the project file). The user hears why instead of being asked
// for a name again, and nothing is left under the project root that would
// make the same name "taken" when it is tried again.
TEST_F(DocTest, FailedNewProjectLeavesNothingAndCanBeRetried) {
    doc_.LoadSettings(program_);
    ASSERT_TRUE(QDir().mkpath(root_));
    const QString name = QStringLiteral("新建项目");
    dialogs_.names = {name, name};
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = before;
    none.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    const bool created = start_.CreateProject();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(created);
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_TRUE(sink_.texts[0].contains(QStringLiteral("Index.prj")))
        << sink_.texts[0].toStdString();
    const auto entries = [&] {
        return QDir(root_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot);
    };
    EXPECT_EQ(entries(), QStringList());

    ASSERT_TRUE(start_.CreateProject());
    EXPECT_EQ(entries(), QStringList{name});
    EXPECT_EQ(doc_.ProjectFilePath(), root_ + name + QStringLiteral("/Index.prj"));
    EXPECT_EQ(CProjectFile(doc_.ProjectFilePath()).GroupCount(), 1);
    // The lock taken while the project was built holds it under its name.
    CProjectLock probe;
    QString why;
    EXPECT_FALSE(probe.Acquire(root_ + name, CProjectLock::CommandLineProgram(), 0, &why));
    EXPECT_EQ(CProjectLock::ReadHolder(root_ + name).pid, ::getpid());
}

TEST_F(DocTest, ProjectNameWithAPathIsRefusedBeforeAnyFolderIsMade) {
    doc_.LoadSettings(program_);
    ASSERT_EQ(doc_.ProjectRoot(), root_);
    const EditResult outside = doc_.CreateProjectNamed(QStringLiteral("../outside"));
    EXPECT_FALSE(outside.ok);
    EXPECT_FALSE(outside.message.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(root_ + QStringLiteral("../outside")));
}

TEST_F(DocTest, OpenOpensTheChosenProjectWhereItIs) {
    doc_.LoadSettings(program_);
    ASSERT_TRUE(doc_.CreateProjectNamed(QStringLiteral("show")));
    EXPECT_TRUE(doc_.NewPicture(1, QStringLiteral("图")));
    EXPECT_TRUE(doc_.NewAnimation(1, QStringLiteral("动")));
    EXPECT_TRUE(doc_.NewAnimation(1, QStringLiteral("动2")));
    // A project "show" elsewhere opens there, not the one of the same name under the root.
    const QString elsewhere =
        dir_.Write("elsewhere/show/index.prj", "<project name='x'><group name='g'/></project>");
    dialogs_.files = {elsewhere};
    ASSERT_TRUE(start_.OpenProject());
    EXPECT_EQ(doc_.ProjectFilePath(), elsewhere);
    EXPECT_EQ(doc_.ProjectRoot(), root_);
    EXPECT_EQ(doc_.Title(), QStringLiteral("show"));
    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("h")));
    EXPECT_EQ(CProjectFile(elsewhere).GroupCount(), 2);

    dialogs_.files = {root_ + QStringLiteral("show/Index.prj")};
    heard_.lines.clear();
    doc_.MarkCompiled(doc_.Revision());
    ASSERT_TRUE(start_.OpenProject());
    EXPECT_EQ(doc_.ProjectFilePath(), root_ + QStringLiteral("show/Index.prj"));
    EXPECT_EQ(heard_.lines,
              (QStringList{QStringLiteral("project show"), QStringLiteral("group 新建组"),
                           QStringLiteral("item 0 picture 图"), QStringLiteral("item 0 gif 动"),
                           QStringLiteral("item 0 gif 动2")}));
    EXPECT_EQ(doc_.AnimationCount(0), 2);
    EXPECT_FALSE(doc_.NeedsCompile());  // opening leaves the flag alone
    EXPECT_EQ(heard_.folder, root_ + QStringLiteral("show/"));
}

TEST_F(DocTest, AProjectGivenAtStartOpensWithoutTheStartDialog) {
    const QString project =
        dir_.Write("away/p/Index.prj", "<project name='p'><group name='g'/></project>");
    ASSERT_TRUE(start_.StartUp(program_, dir_.File("away/p")));
    EXPECT_EQ(dialogs_.startShown, 0);
    EXPECT_EQ(doc_.ProjectFilePath(), project);
    // A project that is not there is said so, then the start dialog comes.
    CGlowdeckDoc other(sink_);
    CProjectStart otherStart(other);
    otherStart.SetDialogs(&dialogs_);
    EXPECT_FALSE(otherStart.StartUp(program_, dir_.File("away/none")));
    EXPECT_EQ(dialogs_.startShown, 1);
    EXPECT_EQ(sink_.texts.size(), 1);
}

TEST_F(DocTest, ProjectFileNameMatchesWithoutCase) {
    doc_.LoadSettings(program_);
    dir_.Write("projects/lower/index.prj", "<project name='lower'><group name='g'/></project>");
    ASSERT_TRUE(doc_.OpenProjectFile(root_ + QStringLiteral("lower/whatever.prj")));
    EXPECT_EQ(doc_.ProjectFilePath(), root_ + QStringLiteral("lower/index.prj"));
    EXPECT_EQ(doc_.ProjectFile()->GroupCount(), 1);
    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("h")));
    EXPECT_FALSE(QFile::exists(root_ + QStringLiteral("lower/Index.prj")));  // saved in place
    EXPECT_EQ(CProjectFile(root_ + QStringLiteral("lower/index.prj")).GroupCount(), 2);
}

TEST_F(DocTest, OpeningAnUnreadableProjectWarnsAndKeepsTheFile) {
    doc_.LoadSettings(program_);
    dir_.Write("projects/bad/Index.prj", "<project><group name='g'>");
    ASSERT_TRUE(doc_.OpenProjectFile(root_ + QStringLiteral("bad/Index.prj")));
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_TRUE(sink_.texts[0].contains(QStringLiteral("Index.prj")));
    EXPECT_EQ(heard_.lines, QStringList{QStringLiteral("project bad")});
    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("新建组")));
    EXPECT_EQ(test::ReadAll(root_ + QStringLiteral("bad/Index.prj.bak")),
              QByteArray("<project><group name='g'>"));
}

TEST_F(DocTest, MissingProjectFileOpensEmptyAndIsWrittenOnFirstChange) {
    doc_.LoadSettings(program_);
    QDir().mkpath(root_ + QStringLiteral("empty"));
    ASSERT_TRUE(doc_.OpenProjectFile(root_ + QStringLiteral("empty/Index.prj")));
    EXPECT_TRUE(sink_.texts.isEmpty());
    EXPECT_EQ(doc_.ProjectFile()->GroupCount(), 0);
    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("g")));
    CProjectFile written(root_ + QStringLiteral("empty/Index.prj"));
    EXPECT_TRUE(written.Loaded());
    EXPECT_EQ(written.ProjectName(), QString());
}

TEST_F(DocTest, HandEditedItemWithoutNameStillOpens) {
    doc_.LoadSettings(program_);
    dir_.Write("projects/hand/Index.prj",
               "<project><group name='g'><picture id='x'><length>5</length></picture>"
               "<mystery/></group></project>");
    ASSERT_TRUE(doc_.OpenProjectFile(root_ + QStringLiteral("hand/Index.prj")));
    EXPECT_EQ(heard_.lines, (QStringList{QStringLiteral("project hand"), QStringLiteral("group g"),
                                         QStringLiteral("item 0 picture ")}));
}

TEST_F(DocTest, FailedSaveIsReported) {
    doc_.LoadSettings(program_);
    ASSERT_TRUE(doc_.CreateProjectNamed(QStringLiteral("gone")));
    QDir(root_ + QStringLiteral("gone")).removeRecursively();
    const EditResult added = doc_.NewGroup(QStringLiteral("g"));
    EXPECT_FALSE(added.ok);
    EXPECT_TRUE(added.message.contains(doc_.ProjectFilePath())) << added.message.toStdString();
    EXPECT_EQ(doc_.ProjectFile()->GroupCount(), 1);  // the group is not kept in memory either
}

TEST_F(DocTest, AProjectAnotherProgramIsEditingIsNotOpened) {
    doc_.LoadSettings(program_);
    ASSERT_TRUE(doc_.CreateProjectNamed(QStringLiteral("mine")));
    dir_.Write("projects/busy/Index.prj", "<project name='busy'><group name='g'/></project>");
    CProjectLock command;
    QString why;
    ASSERT_TRUE(command.Acquire(root_ + QStringLiteral("busy"), CProjectLock::CommandLineProgram(),
                                0, &why));

    EXPECT_FALSE(doc_.OpenProjectFile(root_ + QStringLiteral("busy/Index.prj")));
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_TRUE(sink_.texts[0].contains(QStringLiteral("glowdeck-cli")))
        << sink_.texts[0].toStdString();
    // The open project stays open, and stays ours.
    EXPECT_EQ(doc_.ProjectFilePath(), root_ + QStringLiteral("mine/Index.prj"));
    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("g2")));
    CProjectLock probe;
    EXPECT_FALSE(
        probe.Acquire(root_ + QStringLiteral("mine"), CProjectLock::CommandLineProgram(), 0, &why));

    command.Release();
    ASSERT_TRUE(doc_.OpenProjectFile(root_ + QStringLiteral("busy/Index.prj")));
    EXPECT_TRUE(
        probe.Acquire(root_ + QStringLiteral("mine"), CProjectLock::CommandLineProgram(), 0, &why));
}

// A project whose lock cannot be taken (a read-only lock file, or a link
// standing in its place) cannot be changed: the desktop program does not
// open it, says which file and why, and keeps the project it had open.
TEST_F(DocTest, AProjectThatCannotBeLockedIsNotOpened) {
    doc_.LoadSettings(program_);
    ASSERT_TRUE(doc_.CreateProjectNamed(QStringLiteral("mine")));
    const QString outside = dir_.Write("outside.txt", "precious");
    const QString readOnly = root_ + QStringLiteral("read-only/.glowdeck.lock");
    dir_.Write("projects/read-only/.glowdeck.lock", "");
    ::chmod(QFile::encodeName(readOnly).constData(), 0444);
    dir_.Write("projects/linked/Index.prj", "<project><group name='g'/></project>");
    const QString linked = root_ + QStringLiteral("linked/.glowdeck.lock");
    ASSERT_TRUE(QFile::link(outside, linked));
    QStringList lockFiles{linked};
    // Root passes every permission check: only others meet a read-only file.
    if (::access(QFile::encodeName(readOnly).constData(), W_OK) != 0) lockFiles << readOnly;

    for (const QString& lockFile : lockFiles) {
        sink_.texts.clear();
        EXPECT_FALSE(doc_.OpenProjectFolder(QFileInfo(lockFile).absolutePath()));
        ASSERT_EQ(sink_.texts.size(), 1);
        EXPECT_TRUE(sink_.texts[0].contains(lockFile)) << sink_.texts[0].toStdString();
        EXPECT_EQ(doc_.ProjectFilePath(), root_ + QStringLiteral("mine/Index.prj"));
        EXPECT_EQ(heard_.title, QStringLiteral("mine"));
    }
    EXPECT_EQ(ReadAll(outside), QByteArray("precious"));
    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("g2")));
    EXPECT_EQ(CProjectFile(root_ + QStringLiteral("mine/Index.prj")).GroupCount(), 2);
}

TEST_F(DocTest, OpeningAfterAKilledProgramRemovesItsHalfWrittenImages) {
    QString folder;
    {
        CGlowdeckDoc first(sink_);
        first.SetProjectRoot(root_);
        ASSERT_TRUE(first.CreateProjectNamed(QStringLiteral("p")));
        ASSERT_TRUE(first.NewInterval(1, QStringLiteral("间隔")));
        folder = first.ProjectFolder();
    }
    const QStringList images = QDir(folder + QStringLiteral("Images")).entryList(QDir::Files);
    ASSERT_EQ(images.size(), 1);
    // What a program killed in the middle of writing an image leaves: its
    // line in the lock file and the temporary file.
    dir_.Write(
        QStringLiteral("projects/p/.glowdeck.lock"),
        QByteArray("4242 glowdeck-cli").leftJustified(CProjectLock::HolderLineBytes - 1) + '\n');
    const QString stale = images[0] + QStringLiteral(".4242-0123abcd.tmp");
    dir_.Write(QStringLiteral("projects/p/Images/") + stale, "half");

    ASSERT_TRUE(doc_.OpenProjectFolder(folder));
    EXPECT_EQ(QDir(folder + QStringLiteral("Images")).entryList(QDir::Files), images);
}
