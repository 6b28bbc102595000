// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program writes setting.ini and its previews and where it finds the
// guide and the factory files: in a build folder and installed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "model/IniFile.h"
#include "model/ProgramFolders.h"
#include "support/TempDir.h"

using glowdeck::CIniFile;
using glowdeck::ProgramFolders;
using glowdeck::test::TempDir;

namespace {

class ProgramFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(dir_.File("bin")));
        // Readable by any user, for the checks that run as another one.
        chmod(QFile::encodeName(dir_.Path()).constData(), 0755);
    }
    QString Bin() const { return dir_.File("bin"); }
    QString Config() const { return dir_.File("config/Glowdeck"); }
    void MakeInstalledLayout() {
        ASSERT_TRUE(QDir().mkpath(dir_.File("share/glowdeck/help")));
        dir_.Write("share/glowdeck/help/index.html", "<html>guide</html>");
    }
    TempDir dir_;
};

// Runs `check` in a child process as user nobody: root may write anywhere, so
// a read-only folder is read-only only for another user. The child's exit
// code is the result.
int AsNobody(const std::function<int()>& check) {
    if (geteuid() != 0) return check();
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
        _exit(check());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

}  // namespace

TEST_F(ProgramFoldersTest, WritableBuildFolderKeepsSettingsBesideTheProgram) {
    const ProgramFolders folders(Bin(), Config());
    EXPECT_FALSE(folders.Installed());
    EXPECT_EQ(folders.WritableFolder(), Bin());
    EXPECT_EQ(folders.SettingsFile(), Bin() + QStringLiteral("/setting.ini"));
    // Nothing is made in the user's configuration folder.
    EXPECT_FALSE(QFileInfo::exists(Config()));
}

TEST_F(ProgramFoldersTest, ReadOnlyProgramFolderWritesToTheConfigFolder) {
    ASSERT_EQ(chmod(QFile::encodeName(Bin()).constData(), 0555), 0);
    // The configuration folder's parent must be writable by the checking user.
    ASSERT_TRUE(QDir().mkpath(dir_.File("config")));
    chmod(QFile::encodeName(dir_.File("config")).constData(), 0777);
    const int result = AsNobody([&] {
        const ProgramFolders folders(Bin(), Config());
        if (folders.SettingsFile() != Config() + QStringLiteral("/setting.ini")) return 1;
        // The folder is made on demand, so the first setting can be saved.
        if (!CIniFile(folders.SettingsFile())
                 .SetString(QStringLiteral("TYPE"), QStringLiteral("TYPE"), QStringLiteral("2")))
            return 2;
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(CIniFile(Config() + QStringLiteral("/setting.ini"))
                  .GetInt(QStringLiteral("TYPE"), QStringLiteral("TYPE"), 0),
              2);
    EXPECT_FALSE(QFileInfo::exists(Bin() + QStringLiteral("/setting.ini")));
}

TEST_F(ProgramFoldersTest, InstalledProgramNeverWritesIntoItsBinFolder) {
    MakeInstalledLayout();
    // bin/ is writable here (as for root and /usr/bin), yet it is no place for settings.
    const ProgramFolders folders(Bin(), Config());
    EXPECT_TRUE(folders.Installed());
    EXPECT_EQ(folders.WritableFolder(), Config());
    EXPECT_TRUE(QFileInfo(Config()).isDir());
}

TEST_F(ProgramFoldersTest, GuideBesideTheProgramInABuildFolder) {
    dir_.Write("bin/help/index.html", "<html>guide</html>");
    EXPECT_EQ(ProgramFolders(Bin(), Config()).HelpFolder(), Bin() + QStringLiteral("/help"));
}

TEST_F(ProgramFoldersTest, GuideInTheShareFolderWhenInstalled) {
    MakeInstalledLayout();
    EXPECT_EQ(ProgramFolders(Bin() + QStringLiteral("/"), Config()).HelpFolder(),
              dir_.File("share/glowdeck/help"));
}

TEST_F(ProgramFoldersTest, FactoryFileBesideTheProgramWinsOverTheSharedOne) {
    MakeInstalledLayout();
    dir_.Write("share/glowdeck/factory.bin", "shared");
    dir_.Write("share/glowdeck/factory1.bin", "shared");
    dir_.Write("bin/factory1.bin", "local");
    const ProgramFolders folders(Bin(), Config());
    EXPECT_EQ(folders.FolderHolding(QStringLiteral("factory.bin")), dir_.File("share/glowdeck"));
    EXPECT_EQ(folders.FolderHolding(QStringLiteral("factory1.bin")), Bin());
    // Missing everywhere: the program's folder, which the error message then names.
    EXPECT_EQ(folders.FolderHolding(QStringLiteral("factory2.bin")), Bin());
}
