// SPDX-License-Identifier: GPL-3.0-or-later
// The project lock file: only a plain file of the project is ever opened or
// written, and a project whose lock cannot be taken is refused with the
// lock file and the reason.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <functional>

#include "model/ProjectLock.h"
#include "support/TempDir.h"

using glowdeck::CProjectLock;
using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

QString Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

struct Unusable {
    const char* what;
    // Puts something under the lock file's name of `project`, next to the
    // file `outside` (which holds "precious"); false when this user cannot
    // make the case (root passes every permission check).
    std::function<bool(const QString& project, const QString& outside)> make;
    QString reason;
};

void PrintTo(const Unusable& c, std::ostream* os) { *os << c.what; }

class LockRefusal : public ::testing::TestWithParam<Unusable> {
protected:
    void TearDown() override {
        // Let the temporary folder be removed again.
        ::chmod(Native(project_).constData(), 0755);
    }
    TempDir dir_;
    QString project_;
};

TEST_P(LockRefusal, IsRefusedAndNothingOutsideIsTouched) {
    project_ = dir_.File(QStringLiteral("project"));
    ASSERT_TRUE(QDir().mkpath(project_));
    const QString outside = dir_.Write(QStringLiteral("outside.txt"), "precious");
    const QString lockFile = project_ + QStringLiteral("/.glowdeck.lock");
    if (!GetParam().make(project_, outside))
        GTEST_SKIP() << "this user passes every permission check";

    CProjectLock lock;
    QString why;
    EXPECT_FALSE(lock.Acquire(project_, CProjectLock::CommandLineProgram(), 0, &why));
    EXPECT_FALSE(lock.Held());
    EXPECT_TRUE(why.contains(lockFile)) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("（%1）").arg(GetParam().reason))) << why.toStdString();
    EXPECT_EQ(ReadAll(outside), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo::exists(dir_.File(QStringLiteral("made-by-lock"))));
    EXPECT_EQ(CProjectLock::ReadHolder(project_).pid, 0);
}

const QString kNotAFile = QStringLiteral("不是普通文件");

INSTANTIATE_TEST_SUITE_P(
    Lock, LockRefusal,
    ::testing::Values(
        Unusable{"LinkToAFileOutside",
                 [](const QString& project, const QString& outside) {
                     return QFile::link(outside, project + QStringLiteral("/.glowdeck.lock"));
                 },
                 kNotAFile},
        Unusable{"DanglingLink",
                 [](const QString& project, const QString& outside) {
                     return QFile::link(
                         QFileInfo(outside).absolutePath() + QStringLiteral("/made-by-lock"),
                         project + QStringLiteral("/.glowdeck.lock"));
                 },
                 kNotAFile},
        Unusable{"Pipe",
                 [](const QString& project, const QString&) {
                     return ::mkfifo(
                                Native(project + QStringLiteral("/.glowdeck.lock")).constData(),
                                0666) == 0;
                 },
                 kNotAFile},
        Unusable{"Folder",
                 [](const QString& project, const QString&) {
                     return QDir().mkdir(project + QStringLiteral("/.glowdeck.lock"));
                 },
                 kNotAFile},
        Unusable{"ReadOnlyLockFile",
                 [](const QString& project, const QString&) {
                     const QByteArray path = Native(project + QStringLiteral("/.glowdeck.lock"));
                     QFile(QString::fromLocal8Bit(path)).open(QIODevice::WriteOnly);
                     ::chmod(path.constData(), 0444);
                     return ::access(path.constData(), W_OK) != 0;
                 },
                 Reason(EACCES)},
        Unusable{"ReadOnlyProjectFolder",
                 [](const QString& project, const QString&) {
                     ::chmod(Native(project).constData(), 0555);
                     return ::access(Native(project).constData(), W_OK) != 0;
                 },
                 Reason(EACCES)},
        Unusable{"MissingFolder",
                 [](const QString& project, const QString&) {
                     return QDir(project).removeRecursively();
                 },
                 Reason(ENOENT)}),
    [](const ::testing::TestParamInfo<Unusable>& info) { return std::string(info.param.what); });

// A lock file with another name elsewhere (a hard link) is locked, but its
// bytes are left alone: they may be a file outside the project.
TEST(ProjectLock, AHardLinkedLockFileIsNeverWritten) {
    TempDir dir;
    const QString project = dir.File(QStringLiteral("project"));
    ASSERT_TRUE(QDir().mkpath(project));
    const QString outside = dir.Write(QStringLiteral("outside.txt"), "precious");
    ASSERT_EQ(::link(Native(outside).constData(),
                     Native(project + QStringLiteral("/.glowdeck.lock")).constData()),
              0);
    CProjectLock lock;
    QString why;
    ASSERT_TRUE(lock.Acquire(project, CProjectLock::CommandLineProgram(), 0, &why))
        << why.toStdString();
    lock.Release();
    EXPECT_EQ(ReadAll(outside), QByteArray("precious"));
}

// The holder line is written over the file's first bytes, never by
// truncating it; a reader still finds the holder behind longer old text,
// and nobody once the holder has gone.
TEST(ProjectLock, TheHolderIsReadOverOlderText) {
    TempDir dir;
    const QString lockFile = dir.Write(QStringLiteral(".glowdeck.lock"), QByteArray(100, 'x'));
    CProjectLock lock;
    QString why;
    ASSERT_TRUE(lock.Acquire(dir.Path(), CProjectLock::DesktopProgram(), 0, &why))
        << why.toStdString();
    EXPECT_EQ(QFileInfo(lockFile).size(), 100);
    const CProjectLock::Holder holder = CProjectLock::ReadHolder(dir.Path());
    EXPECT_EQ(holder.pid, ::getpid());
    EXPECT_EQ(holder.program, CProjectLock::DesktopProgram());
    lock.Release();
    EXPECT_EQ(CProjectLock::ReadHolder(dir.Path()).pid, 0);
    EXPECT_TRUE(CProjectLock::ReadHolder(dir.Path()).program.isEmpty());
}

}  // namespace

// Whether the program before may have left half-written files: only when it
// did not release the lock (it was killed), or when that cannot be told.
TEST(ProjectLock, LeftoversAreExpectedOnlyAfterAHolderThatDidNotReleaseIt) {
    const QByteArray killedHolder =
        QByteArray("4242 glowdeck-cli").leftJustified(CProjectLock::HolderLineBytes - 1) + '\n';
    struct Case {
        const char* what;
        std::function<void(TempDir&)> before;
        bool leftovers;
    };
    const Case cases[] = {
        {"no lock file yet", [](TempDir&) {}, false},
        {"released in order",
         [](TempDir& dir) {
             CProjectLock earlier;
             QString why;
             ASSERT_TRUE(earlier.Acquire(dir.Path(), CProjectLock::CommandLineProgram(), 0, &why));
         },
         false},
        {"killed while holding it",
         [&](TempDir& dir) { dir.Write(QStringLiteral(".glowdeck.lock"), killedHolder); }, true},
        {"a lock file with another name, whose line is not written",
         [](TempDir& dir) {
             const QString lockFile = dir.Write(QStringLiteral(".glowdeck.lock"), "");
             ASSERT_EQ(::link(Native(lockFile).constData(),
                              Native(dir.File(QStringLiteral("other-name"))).constData()),
                       0);
         },
         true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        c.before(dir);
        CProjectLock lock;
        QString why;
        ASSERT_TRUE(lock.Acquire(dir.Path(), CProjectLock::DesktopProgram(), 0, &why)) << c.what;
        EXPECT_EQ(lock.MayHaveLeftovers(), c.leftovers) << c.what;
        lock.LeftoversRemoved();
        EXPECT_FALSE(lock.MayHaveLeftovers()) << c.what;
    }
}
