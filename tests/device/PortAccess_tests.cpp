// SPDX-License-Identifier: GPL-3.0-or-later
// Why a serial port cannot be opened: the program that holds it (from a
// /proc tree), the group that grants access, a port that is gone.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "device/PortAccess.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

// /proc/PID/fd/N links and /proc/PID/comm, as the kernel shows them.
class FakeProc {
public:
    void Process(int pid, const QString& name, const QStringList& openFiles) {
        const QString dir = root_.File(QString::number(pid));
        QDir().mkpath(dir + QStringLiteral("/fd"));
        root_.Write(QStringLiteral("%1/comm").arg(pid), name.toUtf8() + "\n");
        for (int k = 0; k < openFiles.size(); ++k)
            QFile::link(openFiles[k], dir + QStringLiteral("/fd/%1").arg(k));
    }
    QString Path() const { return root_.Path(); }

private:
    TempDir root_;
};

}  // namespace

TEST(PortHolders, FoundByTheirOpenFiles) {
    FakeProc proc;
    proc.Process(812, QStringLiteral("brltty"),
                 {QStringLiteral("/dev/null"), QStringLiteral("/dev/ttyUSB0")});
    proc.Process(900, QStringLiteral("bash"), {QStringLiteral("/dev/ttyUSB1")});
    QDir().mkpath(proc.Path() + QStringLiteral("/self/fd"));  // not a process number
    const QList<PortHolder> holders = PortHolders(QStringLiteral("/dev/ttyUSB0"), proc.Path());
    ASSERT_EQ(holders.size(), 1);
    EXPECT_EQ(holders[0].pid, 812);
    EXPECT_EQ(holders[0].name, QStringLiteral("brltty"));
}

TEST(PortHolders, APtyHeldByThisProcessAlsoThroughALink) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    const QString pty = QString::fromLocal8Bit(name);
    TempDir dir;
    const QString link =
        dir.File(QStringLiteral("ball"));  // as "glowdeck-cli ball --link" makes it
    ASSERT_TRUE(QFile::link(pty, link));
    for (const QString& path : {pty, link}) {
        bool self = false;
        for (const PortHolder& h : PortHolders(path)) self = self || h.pid == ::getpid();
        EXPECT_TRUE(self) << path.toStdString();
    }
    ::close(slave);
    ::close(master);
}

TEST(OpenFailureReason, BusyNamesTheHolderAndWhatToDo) {
    FakeProc proc;
    proc.Process(812, QStringLiteral("brltty"), {QStringLiteral("/dev/ttyUSB0")});
    const QString brltty = OpenFailureReason(QStringLiteral("/dev/ttyUSB0"), EBUSY, proc.Path());
    EXPECT_TRUE(brltty.contains(QStringLiteral("brltty（进程 812）"))) << brltty.toStdString();
    EXPECT_TRUE(brltty.contains(QStringLiteral("sudo apt remove brltty"))) << brltty.toStdString();

    proc.Process(640, QStringLiteral("ModemManager"), {QStringLiteral("/dev/ttyACM0")});
    const QString modem = OpenFailureReason(QStringLiteral("/dev/ttyACM0"), EBUSY, proc.Path());
    EXPECT_TRUE(modem.contains(QStringLiteral("ModemManager（进程 640）"))) << modem.toStdString();
    EXPECT_TRUE(modem.contains(QStringLiteral("sudo systemctl stop ModemManager")))
        << modem.toStdString();

    // Nobody visible (another user's process): the usual suspects and how to look.
    const QString unknown = OpenFailureReason(QStringLiteral("/dev/ttyUSB3"), EBUSY, proc.Path());
    EXPECT_TRUE(unknown.contains(QStringLiteral("sudo fuser -v /dev/ttyUSB3")))
        << unknown.toStdString();
}

TEST(OpenFailureReason, PermissionGivesTheGroupCommandOrTheLoginHint) {
    GroupAccess dialout{QStringLiteral("dialout"), true, false, false};
    const QString notMember =
        OpenFailureReason(QStringLiteral("/dev/ttyUSB0"), EACCES, dialout, {});
    EXPECT_TRUE(notMember.contains(QStringLiteral("sudo usermod -aG dialout $USER")))
        << notMember.toStdString();
    EXPECT_TRUE(notMember.contains(QStringLiteral("重新登录"))) << notMember.toStdString();

    dialout.inGroupAfterLogin = true;  // added, but this session predates it
    const QString relogin = OpenFailureReason(QStringLiteral("/dev/ttyUSB0"), EACCES, dialout, {});
    EXPECT_FALSE(relogin.contains(QStringLiteral("usermod"))) << relogin.toStdString();
    EXPECT_TRUE(relogin.contains(QStringLiteral("注销后重新登录"))) << relogin.toStdString();

    // A group that may not read the node (a terminal's "tty") is no remedy.
    const GroupAccess tty{QStringLiteral("tty"), false, false, false};
    EXPECT_FALSE(OpenFailureReason(QStringLiteral("/dev/pts/3"), EACCES, tty, {})
                     .contains(QStringLiteral("usermod")));
}

TEST(OpenFailureReason, GroupOfTheNodeIsRead) {
    const group* dialout = ::getgrnam("dialout");
    if (!dialout) GTEST_SKIP() << "no dialout group";
    TempDir dir;
    const QString node = dir.Write(QStringLiteral("ttyUSB0"), "");
    if (::chown(node.toLocal8Bit().constData(), ::getuid(), dialout->gr_gid) != 0)
        GTEST_SKIP() << "cannot chown";
    ::chmod(node.toLocal8Bit().constData(), 0660);
    const GroupAccess access = GroupAccessOf(node);
    EXPECT_EQ(access.group, QStringLiteral("dialout"));
    EXPECT_TRUE(access.groupReadWrite);
}

TEST(OpenFailureReason, GoneAndNotASerialPort) {
    const QString gone =
        OpenFailureReason(QStringLiteral("/dev/ttyUSB0"), ENOENT, QStringLiteral("/nonexistent"));
    EXPECT_TRUE(gone.contains(QStringLiteral("已不存在"))) << gone.toStdString();
    EXPECT_EQ(
        OpenFailureReason(QStringLiteral("/dev/ttyUSB0"), ENXIO, QStringLiteral("/nonexistent")),
        gone);
    EXPECT_TRUE(OpenFailureReason(QStringLiteral("/tmp/x"), ENOTTY, QStringLiteral("/nonexistent"))
                    .contains(QStringLiteral("不是串口")));
}
