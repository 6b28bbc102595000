// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck-cli send into glowdeck-cli ball, with the protocol's real timing.
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include "support/CliRunner.h"
#include "support/TempDir.h"

using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

namespace {

QByteArray FileOf(int size) {
    QByteArray data(size, '\0');
    for (int k = 0; k < size; ++k) data[k] = static_cast<char>((k * 77 + 5) & 0xFF);
    return data;
}

// Starts a virtual ball and waits until it listens on `link`.
void StartBall(QProcess& ball, const QStringList& args) {
    ball.start(QStringLiteral(GLOWDECK_CLI), QStringList{"ball"} + args);
    ASSERT_TRUE(ball.waitForStarted());
    ASSERT_TRUE(ball.waitForReadyRead(10000));
}

void Transfer(const QString& ballType, const QString& layer, const QString& expectedKind) {
    TempDir dir;
    const QString link = dir.File("ball"), out = dir.File("received.bin");
    const QByteArray data = FileOf(700);
    const QString file = dir.Write("data.bin", data);
    QProcess ball;
    StartBall(ball, {"--link", link, "--out", out, "--wait", "30"});
    QProcess send;
    QStringList args{"send", file, "--port", link, "--ball", ballType};
    if (!layer.isEmpty()) args << "--layer" << layer;
    send.start(QStringLiteral(GLOWDECK_CLI), args);
    ASSERT_TRUE(send.waitForFinished(60000));
    EXPECT_EQ(send.exitCode(), 0) << send.readAllStandardError().toStdString();
    ASSERT_TRUE(ball.waitForFinished(30000));
    const QString report = QString::fromUtf8(ball.readAllStandardOutput());
    EXPECT_EQ(ball.exitCode(), 0) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("transfer complete"))) << report.toStdString();
    EXPECT_TRUE(report.contains(expectedKind)) << report.toStdString();
    EXPECT_EQ(ReadAll(out), data);
}

}  // namespace

TEST(CliSend, SingleLayerBall) { Transfer("1", "", QStringLiteral("single-layer ball")); }
TEST(CliSend, InnerLayer) { Transfer("2", "inner", QStringLiteral("inner layer")); }
TEST(CliSend, OuterLayer) { Transfer("2", "outer", QStringLiteral("outer layer")); }

TEST(CliSendFaults, BallVanishingMidTransferEndsTheSendWithinTwoSeconds) {
    TempDir dir;
    const QString link = dir.File("ball");
    const QString file = dir.Write("data.bin", FileOf(249 * 200));
    QProcess ball;
    StartBall(ball, {"--link", link, "--wait", "30"});
    QProcess send;
    send.start(QStringLiteral(GLOWDECK_CLI), {"send", file, "--port", link});
    ASSERT_TRUE(send.waitForStarted());
    // Let the data phase begin, then pull the plug.
    QElapsedTimer clock;
    clock.start();
    QByteArray said;
    while (clock.elapsed() < 20000) {
        send.waitForReadyRead(200);
        said += send.readAllStandardError();
        if (said.contains(QByteArray("发送进程"))) break;
    }
    ASSERT_TRUE(said.contains(QByteArray("发送进程"))) << said.toStdString();
    ::kill(static_cast<pid_t>(ball.processId()), SIGKILL);
    ball.waitForFinished();
    QElapsedTimer gone;
    gone.start();
    ASSERT_TRUE(send.waitForFinished(5000));
    EXPECT_LT(gone.elapsed(), 2000);
    EXPECT_NE(send.exitCode(), 0);
}

TEST(CliSendFaults, MissingFilePortOrAdapter) {
    TempDir dir;
    QProcess send;
    send.start(QStringLiteral(GLOWDECK_CLI), {"send", dir.File("none.bin"), "--port", "/dev/null"});
    send.waitForFinished(10000);
    EXPECT_EQ(send.exitCode(), 1);
    const QString missing = QString::fromUtf8(send.readAllStandardError());
    EXPECT_TRUE(missing.contains(QStringLiteral("no such file"))) << missing.toStdString();
    EXPECT_FALSE(missing.contains(QStringLiteral("还未编译！")));
    // A project's data.bin that is not there yet: compile first.
    dir.Write("p/Index.prj", "<project/>");
    send.start(QStringLiteral(GLOWDECK_CLI),
               {"send", dir.File("p/data.bin"), "--port", "/dev/null"});
    send.waitForFinished(10000);
    EXPECT_EQ(send.exitCode(), 1);
    EXPECT_TRUE(
        QString::fromUtf8(send.readAllStandardError()).contains(QStringLiteral("还未编译！")));
    send.start(QStringLiteral(GLOWDECK_CLI),
               {"send", dir.Write("d.bin", "x"), "--port", "/dev/glowdeck-absent"});
    send.waitForFinished(10000);
    EXPECT_EQ(send.exitCode(), 1);
    EXPECT_TRUE(
        QString::fromUtf8(send.readAllStandardError()).contains(QStringLiteral("串口未打开")));
    send.start(QStringLiteral(GLOWDECK_CLI), {"send", "--factory", "--port", "/dev/null"});
    send.waitForFinished(10000);
    EXPECT_EQ(send.exitCode(), 1);
    EXPECT_TRUE(
        QString::fromUtf8(send.readAllStandardError()).contains(QStringLiteral("还未编译！")));
}

TEST(CliSendFaults, BadOptionValuesAreUsageErrorsWithAMessage) {
    TempDir dir;
    const QString data = dir.Write("d.bin", "x");
    const QList<QStringList> runs = {
        {"ball", "--wait", "-1"},   // used to listen for ever
        {"ball", "--wait", "abc"},  // used to be taken as 0
        {"ball", "--wait", "0"},
        {"send", data, "--port", ""},
    };
    for (const QStringList& args : runs) {
        const glowdeck::test::CliRun run = glowdeck::test::Cli(args, 10000);
        EXPECT_EQ(run.code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.trimmed().isEmpty()) << args.join(' ').toStdString();
    }
}

TEST(CliSendFaults, AReaderThatStopsReadingEndsTheSendWithItsReason) {
    // The other end is open and never read: a pseudo-terminal takes about
    // 18 KB, then every write waits for room.
    int master = -1, slave = -1;
    char name[256] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    ASSERT_EQ(::openpty(&master, &slave, name, &raw, nullptr), 0);
    TempDir dir;
    const QString file = dir.Write("data.bin", FileOf(249 * 120));  // ~30 KB
    QProcess send;
    send.start(QStringLiteral(GLOWDECK_CLI),
               {"send", file, "--port", QString::fromLocal8Bit(name)});
    // The init wait is 9 s, the buffer fills in ~3 s, the deadline is a few seconds.
    const bool ended = send.waitForFinished(90000);
    ::close(slave);
    ::close(master);  // ends a send that hangs, so the test goes on
    ASSERT_TRUE(ended) << "send still running after 90 s";
    const QString said = QString::fromUtf8(send.readAllStandardError());
    EXPECT_EQ(send.exitCode(), 1) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("发送失败！"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("写入超时"))) << said.toStdString();
}

// Ports that are no serial line, and files to send that are no file, are
// named as what they are; nothing is sent.
TEST(CliSendFaults, PortsAndFilesAreNamedAsWhatTheyAre) {
    TempDir dir;
    const QString data = dir.Write("d.bin", "x");
    const QString fifo = dir.File("data.bin");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    dir.Write("Index.prj", "<project/>");  // even beside a project: not "not compiled"
    QDir().mkpath(dir.File("folder.bin"));
    const struct {
        QString file, port, said;
    } cases[] = {
        {data, "/dev/tty",
         "串口未打开: /dev/tty: it is a console terminal, not a serial port; nothing was sent"},
        {data, "/dev/ptmx",  // was written to, exit 0
         "串口未打开: /dev/ptmx: it is a terminal but not a serial port; nothing was sent"},
        {data, "/dev/null", "串口未打开: /dev/null: it is not a serial port; nothing was sent"},
        {fifo, "/dev/null", "cannot read " + fifo + ": it is a FIFO (named pipe), not a file"},
        {"/dev/zero", "/dev/null", "cannot read /dev/zero: it is a character device, not a file"},
        {dir.File("folder.bin"), "/dev/null",
         "cannot read " + dir.File("folder.bin") + ": it is a folder, not a file"},
    };
    for (const auto& c : cases) {
        const glowdeck::test::CliRun run =
            glowdeck::test::Cli({"send", c.file, "--port", c.port}, 10000);
        EXPECT_EQ(run.code, 1) << c.said.toStdString();
        EXPECT_EQ(run.err.trimmed(), c.said);
    }
}
