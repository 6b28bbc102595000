// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck-cli and the project lock: a project that cannot be locked is not
// changed (and still listed), and a bad GLOWDECK_LOCK_WAIT is a usage error.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <functional>

#include "support/CliRunner.h"
#include "support/TempDir.h"

using glowdeck::test::Cli;
using glowdeck::test::CliRun;
using glowdeck::test::CliSetup;
using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

struct LockCase {
    const char* what;
    // Makes the lock file of `project` unusable, next to `outside`; false
    // when this user cannot make the case (root passes permission checks).
    std::function<bool(const QString& project, const QString& outside)> make;
};

void PrintTo(const LockCase& c, std::ostream* os) { *os << c.what; }

class UnlockableProject : public ::testing::TestWithParam<LockCase> {};

TEST_P(UnlockableProject, IsNotChangedButStillListed) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", "--root", dir.Path(), "show"}).code, 0);
    const QString project = dir.File(QStringLiteral("show"));
    ASSERT_EQ(Cli({"add", project, "1", "picture"}).code, 0);
    const QString outside = dir.Write(QStringLiteral("outside.txt"), "precious");
    const QString lockFile = project + QStringLiteral("/.glowdeck.lock");
    ASSERT_TRUE(QFile::remove(lockFile));
    if (!GetParam().make(project, outside))
        GTEST_SKIP() << "this user passes every permission check";
    const QByteArray before = ReadAll(project + QStringLiteral("/Index.prj"));

    for (const QStringList& command :
         {QStringList{"add", project, "1", "text"}, QStringList{"add-group", project},
          QStringList{"set-interval", project, "1", "1", "--length", "20"},
          QStringList{"compile", project}}) {
        const CliRun run = Cli(command);
        EXPECT_EQ(run.code, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(lockFile)) << run.err.toStdString();
    }
    EXPECT_EQ(ReadAll(project + QStringLiteral("/Index.prj")), before);
    EXPECT_FALSE(QFileInfo::exists(project + QStringLiteral("/data.bin")));
    EXPECT_EQ(ReadAll(outside), QByteArray("precious"));
    const CliRun list = Cli({"list", project});
    EXPECT_EQ(list.code, 0) << list.err.toStdString();
    EXPECT_TRUE(list.out.contains(QStringLiteral("picture"))) << list.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lock, UnlockableProject,
    ::testing::Values(LockCase{"LinkToAFileOutside",
                               [](const QString& project, const QString& outside) {
                                   return QFile::link(outside,
                                                      project + QStringLiteral("/.glowdeck.lock"));
                               }},
                      LockCase{"ReadOnlyLockFile",
                               [](const QString& project, const QString&) {
                                   const QString path = project + QStringLiteral("/.glowdeck.lock");
                                   QFile(path).open(QIODevice::WriteOnly);
                                   ::chmod(Native(path).constData(), 0444);
                                   return ::access(Native(path).constData(), W_OK) != 0;
                               }}),
    [](const ::testing::TestParamInfo<LockCase>& info) { return std::string(info.param.what); });

TEST(LockWait, ValuesOutsideZeroToAnHourAreUsageErrors) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", "--root", dir.Path(), "show"}).code, 0);
    const QString project = dir.File(QStringLiteral("show"));
    const QByteArray before = ReadAll(project + QStringLiteral("/Index.prj"));
    for (const char* value : {"-1", "nan", "inf", "abc", "1e9", "3600.5", ""}) {
        CliSetup setup;
        setup.environment << QStringLiteral("GLOWDECK_LOCK_WAIT=%1").arg(QLatin1String(value));
        for (const QStringList& command :
             {QStringList{"add-group", project}, QStringList{"new", "--root", dir.Path(), "x"}}) {
            const CliRun run = Cli(command, setup);
            EXPECT_EQ(run.code, 2) << value << ' ' << command[0].toStdString();
            EXPECT_TRUE(run.err.contains(QStringLiteral("GLOWDECK_LOCK_WAIT")) &&
                        run.err.contains(QStringLiteral("3600")))
                << run.err.toStdString();
        }
    }
    EXPECT_EQ(ReadAll(project + QStringLiteral("/Index.prj")), before);
    EXPECT_FALSE(QFileInfo::exists(dir.File(QStringLiteral("x"))));
    for (const char* value : {"0", "0.5", "3600"}) {
        CliSetup setup;
        setup.environment << QStringLiteral("GLOWDECK_LOCK_WAIT=%1").arg(QLatin1String(value));
        EXPECT_EQ(Cli({"add-group", project}, setup).code, 0) << value;
    }
}

}  // namespace
