// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck-cli used as a script would: new, add-group, add, list.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "model/ProjectFile.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using glowdeck::CProjectFile;
using glowdeck::test::Cli;
using glowdeck::test::CliRun;
using glowdeck::test::TempDir;

namespace {

class CliProject : public ::testing::Test {
protected:
    void SetUp() override {
        const CliRun created = Cli({"new", "--root", dir_.Path(), QStringLiteral("球")});
        ASSERT_EQ(created.code, 0) << created.err.toStdString();
        project_ = dir_.File(QStringLiteral("球"));
    }
    TempDir dir_;
    QString project_;
};

}  // namespace

TEST_F(CliProject, NewMakesTheProjectAndRefusesAnExistingOne) {
    CProjectFile file(project_ + QStringLiteral("/Index.prj"));
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(file.GroupName(0), QStringLiteral("新建组"));
    const CliRun again = Cli({"new", "--root", dir_.Path(), QStringLiteral("球")});
    EXPECT_NE(again.code, 0);
    EXPECT_FALSE(again.err.isEmpty());
    EXPECT_EQ(Cli({"new", QStringLiteral("x")}).code, 2);  // no root
}

TEST_F(CliProject, ProjectNameIsOneFolderUnderTheRoot) {
    const QString root = dir_.File("root");
    for (const QString& name :
         {QStringLiteral("../outside"), QStringLiteral("a/b"), QStringLiteral(".."),
          QStringLiteral("."), QStringLiteral("a\\b"), QString()}) {
        const CliRun run = Cli({"new", "--root", root, name});
        EXPECT_EQ(run.code, 2) << name.toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(dir_.File("outside")));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/a")));
    EXPECT_EQ(Cli({"add", project_, "11", "text"}).code, 2);  // a project has at most 10 groups
}

TEST_F(CliProject, AddAndListWithDefaultNames) {
    ASSERT_EQ(Cli({"add", project_, "1", "picture"}).code, 0);
    ASSERT_EQ(Cli({"add", project_, "1", "interval", QStringLiteral("空")}).code, 0);
    ASSERT_EQ(Cli({"add-group", project_}).code, 0);
    ASSERT_EQ(Cli({"add", project_, "2", "animation"}).code, 0);
    const CliRun list = Cli({"list", project_});
    ASSERT_EQ(list.code, 0) << list.err.toStdString();
    const QStringList lines = list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << list.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("project 球")));
    EXPECT_EQ(lines[1], QStringLiteral("group 1 新建组"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("  1 picture 新建图片 id=")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(" length=74")));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("  2 interval 空 id=")));
    EXPECT_EQ(lines[4], QStringLiteral("group 2 新建组"));
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("  1 animation 新建动画")));
    EXPECT_EQ(lines[6], QStringLiteral("data 3129 bytes of 500000 (0.6%)"));
}

TEST_F(CliProject, RefusalsPrintTheMessageAndFail) {
    const CliRun noGroup = Cli({"add", project_, "2", "text"});
    EXPECT_NE(noGroup.code, 0);
    EXPECT_TRUE(noGroup.err.contains(QStringLiteral("请先添加一个组!")));

    for (int g = 2; g <= 10; ++g)
        ASSERT_EQ(Cli({"add-group", project_, QString::number(g)}).code, 0);
    const CliRun eleventh = Cli({"add-group", project_});
    EXPECT_NE(eleventh.code, 0);
    EXPECT_TRUE(eleventh.err.contains(QStringLiteral("组数已达上限！")));

    EXPECT_EQ(Cli({"add", project_, "1", "sound"}).code, 2);
    EXPECT_EQ(Cli({"add", project_, "zero", "text"}).code, 2);
    EXPECT_EQ(Cli({"frobnicate"}).code, 2);
}

TEST_F(CliProject, TwentyFirstAnimationIsRefused) {
    CProjectFile file(project_ + QStringLiteral("/Index.prj"));
    for (int k = 0; k < 20; ++k)
        file.AppendItem(0, glowdeck::ItemKind::Animation, QStringLiteral("a"), QStringLiteral("i"));
    ASSERT_TRUE(file.Save());
    const CliRun refused = Cli({"add", project_, "1", "animation"});
    EXPECT_NE(refused.code, 0);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("单组动画最多为20幅！")));
    EXPECT_EQ(Cli({"add", project_, "1", "text"}).code, 0);
}

TEST(CliErrors, NotAProjectOrDamagedProject) {
    TempDir dir;
    const CliRun missing = Cli({"list", dir.File("nothing")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_FALSE(missing.err.isEmpty());
    const CliRun empty = Cli({"list", dir.Path()});
    EXPECT_EQ(empty.code, 1);
    dir.Write("bad/Index.prj", "<project><grou");
    const CliRun bad = Cli({"add-group", dir.File("bad")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("line 1")));
    EXPECT_EQ(glowdeck::test::ReadAll(dir.File("bad/Index.prj")), QByteArray("<project><grou"));
    dir.Write("noattr/Index.prj",
              "<project><group name='g'><picture name='p' id='i'/></group></project>");
    const CliRun damaged = Cli({"list", dir.File("noattr")});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_TRUE(damaged.out.contains(QStringLiteral("damaged")));
}
