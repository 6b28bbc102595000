// SPDX-License-Identifier: GPL-3.0-or-later
// A save killed at any moment leaves the old or the new project file, never
// a torn one.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QThread>
#include <random>

#include "base/AtomicFile.h"
#include "model/ProjectFile.h"
#include "support/SaveLoopProject.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

TEST(AtomicSave, KilledWriterNeverLeavesATornFile) {
    TempDir dir;
    const QString path = dir.File("Index.prj");
    CProjectFile a(dir.File("a.prj")), b(dir.File("b.prj"));
    test::BuildSaveLoopProject(a, 0);
    test::BuildSaveLoopProject(b, 1);
    const QByteArray versions[2] = {a.Serialize(), b.Serialize()};
    ASSERT_GT(versions[0].size(), 500000);  // large enough for a kill to land mid-write

    std::mt19937 random(12345);
    bool seen[2] = {false, false};
    for (int round = 0; round < 25; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(GLOWDECK_SAVE_LOOP), {path});
        ASSERT_TRUE(writer.waitForStarted());
        // Let it finish one or two saves (so both versions are on disk in
        // turn), then kill it at a random moment of the next one.
        const int saves = 1 + round % 2;
        QByteArray said;
        while (said.count("saved") < saves && writer.waitForReadyRead(20000))
            said += writer.readAll();
        ASSERT_GE(said.count("saved"), saves);
        QThread::msleep(random() % 40);
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        writer.waitForFinished();
        const QByteArray now = ReadAll(path);
        ASSERT_TRUE(now == versions[0] || now == versions[1])
            << "round " << round << ": torn file of " << now.size() << " bytes";
        seen[now == versions[1]] = true;
        EXPECT_TRUE(CProjectFile(path).Loaded());
    }
    // Kills landed at different points of the save loop.
    EXPECT_TRUE(seen[0] && seen[1]);
    // Each writer removes what a killed one left: no more than the temporary
    // file of the last kill remains.
    EXPECT_LE(QDir(dir.Path()).entryList(QDir::Files).size(), 4);
}

TEST(AtomicSave, SaveIntoAMissingFolderIsReported) {
    TempDir dir;
    CProjectFile nowhere(dir.File("missing/folder/Index.prj"), QStringLiteral("p"));
    QString error;
    EXPECT_FALSE(nowhere.Save(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(AtomicSave, FailedSaveKeepsTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    const QString folder = dir.File("project");
    QDir().mkpath(folder);
    CProjectFile file(folder + QStringLiteral("/Index.prj"), QStringLiteral("p"));
    ASSERT_TRUE(file.Save());
    const QByteArray before = ReadAll(file.FilePath());
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    file.AppendGroup(QStringLiteral("g"));
    QString error;
    const bool saved = file.Save(&error);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(file.FilePath()), before);
}

TEST(AtomicSave, StaleTemporariesGoOnlyFromTheFolderItself) {
    TempDir dir;
    QDir().mkpath(dir.File("outside"));
    QDir().mkpath(dir.File("Images"));
    const QString stale = QStringLiteral("a.jpg.123-0123abcd.tmp");
    dir.Write("outside/" + stale, "kept");
    dir.Write("Images/" + stale, "left by a killed writer");
    dir.Write("Images/b.jpg", "an image");
    ASSERT_TRUE(QFile::link(dir.File("outside"), dir.File("linked")));
    RemoveStaleTemporariesIn(dir.File("Images"));
    RemoveStaleTemporariesIn(dir.File("linked"));
    EXPECT_FALSE(QFile::exists(dir.File("Images/" + stale)));
    EXPECT_TRUE(QFile::exists(dir.File("Images/b.jpg")));
    // A folder that is a link is another folder: nothing there is touched.
    EXPECT_EQ(ReadAll(dir.File("outside/" + stale)), QByteArray("kept"));
}
