// SPDX-License-Identifier: GPL-3.0-or-later
// The small dialogs and the compile and send windows, with real widgets.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <future>
#include <thread>

#include "app/CChoiceDlg.h"
#include "app/CCompileDlg.h"
#include "app/CSendDlg.h"
#include "app/QtMessageSink.h"
#include "device/PortInfo.h"
#include "device/VirtualBall.h"
#include "model/GlowdeckDoc.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

TEST(ChoiceDialogs, OkNeedsAChoice) {
    RecordingSink sink;
    std::unique_ptr<CChoiceDlg> ball(CChoiceDlg::BallTypeDialog(sink, nullptr));
    QPushButton* ok = ball->findChild<QPushButton*>(QStringLiteral("ok"));
    ASSERT_NE(ok, nullptr);
    ok->click();
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("请选择彩球类型！")});
    EXPECT_EQ(ball->result(), 0);
    ball->Choose(2);
    ok->click();
    EXPECT_EQ(ball->result(), QDialog::Accepted);
    EXPECT_EQ(ball->Chosen(), 2);

    std::unique_ptr<CChoiceDlg> layer(CChoiceDlg::LayerDialog(sink, nullptr));
    layer->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    EXPECT_EQ(sink.texts.last(), QStringLiteral("必须选择内外球！"));
    layer->Choose(0);
    layer->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    EXPECT_EQ(layer->result(), QDialog::Accepted);
    EXPECT_EQ(layer->Chosen(), 0);
    // The boxes carry the program's caption, not the dialogs' titles.
    EXPECT_EQ(sink.captions, (QStringList{QStringLiteral("Orbilux"), QStringLiteral("Orbilux")}));
}

TEST(CompileDialog, CompilesWithProgressAndClearsTheFlag) {
    TempDir dir;
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetProjectRoot(dir.Path());
    ASSERT_TRUE(doc.CreateProjectNamed(QStringLiteral("p")));
    EXPECT_TRUE(doc.NewPicture(1, QStringLiteral("图")));
    EXPECT_TRUE(doc.NewInterval(1, QStringLiteral("隔")));
    CCompileDlg dialog(doc, {1, 0});
    dialog.SetPreviewFolder(dir.Path());
    QSignalSpy finished(&dialog, &CCompileDlg::compileFinished);
    ASSERT_TRUE(dialog.StartCompile());
    EXPECT_FALSE(dialog.StartCompile());  // one at a time
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_EQ(dialog.LastOutcome(), CCompileDlg::Outcome::Compiled);
    EXPECT_FALSE(doc.NeedsCompile());
    const QProgressBar* bar = dialog.findChild<QProgressBar*>();
    EXPECT_EQ(bar->maximum(), 200);
    EXPECT_EQ(bar->value(), 200);
    EXPECT_EQ(QFileInfo(doc.DataFilePath()).size(), 22 + 6 + 75 * 21);
}

TEST(CompileDialog, RunsOnACopyAndCancelKeepsTheOldFile) {
    TempDir dir;
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetProjectRoot(dir.Path());
    ASSERT_TRUE(doc.CreateProjectNamed(QStringLiteral("p")));
    EXPECT_TRUE(doc.NewPicture(1, QStringLiteral("图")));
    CCompileDlg dialog(doc, {1, 0});
    dialog.SetPreviewFolder(dir.Path());
    QSignalSpy finished(&dialog, &CCompileDlg::compileFinished);
    // An edit made while the compile runs is not in it, and the flag stays.
    ASSERT_TRUE(dialog.StartCompile());
    EXPECT_TRUE(doc.NewInterval(1, QStringLiteral("隔")));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(QFileInfo(doc.DataFilePath()).size(), 22 + 6 + 74 * 21);
    EXPECT_TRUE(doc.NeedsCompile());

    const QByteArray before = ReadAll(doc.DataFilePath());
    finished.clear();
    ASSERT_TRUE(dialog.StartCompile());
    dialog.findChild<QPushButton*>(QStringLiteral("cancel"))->click();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(dialog.LastOutcome(), CCompileDlg::Outcome::Cancelled);
    EXPECT_EQ(ReadAll(doc.DataFilePath()), before);
    EXPECT_TRUE(sink.texts.isEmpty());
}

TEST(SendDialog, NoAdapterLeavesBothLightsUnlit) {
    RecordingSink sink;
    CSendDlg dialog(sink, QStringLiteral("/nonexistent/data.bin"), {1, 0}, nullptr,
                    [] { return std::vector<RawPort>{}; });
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("发送数据"));
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("send"))->isEnabled());
    dialog.PressOpenClose();
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("未连接上彩球！")});
    EXPECT_FALSE(dialog.PortOpen());
    EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>()->toPlainText().startsWith(
        QStringLiteral("1、使用提供的USB线缆连接电脑及Orbilux。")));
    EXPECT_EQ(CSendDlg::Instructions().count(QStringLiteral("\r\n")), 9);
}

TEST(SendDialog, FindsTheAdapterOpensAndClosesThePort) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    RawPort adapter;
    adapter.devicePath = QString::fromLocal8Bit(name);
    adapter.portName = adapter.devicePath.section('/', -1);
    adapter.isUsb = true;
    adapter.vendorId = AdapterVendorId;
    TempDir dir;
    RecordingSink sink;
    {
        CSendDlg dialog(sink, dir.Write("data.bin", "x"), {2, 1}, nullptr,
                        [&] { return std::vector<RawPort>{adapter}; });
        dialog.PressOpenClose();
        EXPECT_TRUE(sink.texts.isEmpty()) << sink.texts.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(dialog.PortOpen());
        EXPECT_EQ(dialog.Status(), QStringLiteral("检测到传送端口!"));
        EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("send"))->isEnabled());
        EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("openClose"))->text(),
                  QStringLiteral("关闭串口"));
        dialog.PressSend();
        QTest::qWait(100);
        EXPECT_EQ(dialog.Status(), QStringLiteral("初始化设备进程......"));
        char init[8] = {};
        EXPECT_EQ(::read(master, init, sizeof init), 4);  // A6 55 AA 02: inner layer
        EXPECT_EQ(static_cast<unsigned char>(init[3]), 0x02);
        dialog.PressOpenClose();
        EXPECT_FALSE(dialog.PortOpen());
        EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("openClose"))->text(),
                  QStringLiteral("打开串口"));
    }
    ::close(slave);
    ::close(master);
}

TEST(SendDialog, FactoryModeCaptionAndMissingFile) {
    TempDir dir;
    RecordingSink sink;
    CSendDlg dialog(sink, QString(), {2, 0}, nullptr, [] { return std::vector<RawPort>{}; });
    dialog.SetFactoryMode(dir.Path());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("恢复出厂文件"));
    dialog.PressSend();
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("还未编译！")});
}

TEST(MessageBoxes, AWorkerReportingNeverWaitsForTheWindow) {
    // The GUI thread is busy (here: waiting for the worker), as a send window
    // is when it waits for its worker to stop. The report must not block.
    QtMessageSink sink;
    auto done = std::async(std::launch::async, [&] {
        return sink.Show(QStringLiteral("error code=5"), QStringLiteral("Orbilux"),
                         IMessageSink::Icon::Warning, IMessageSink::Buttons::Ok);
    });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(done.get(), IMessageSink::Answer::Ok);
    // The box itself is waiting in the event queue; drop it instead of showing it.
    QCoreApplication::removePostedEvents(qApp, QEvent::MetaCall);
}

// Sending without the ball's own adapter: other ports, a typed path, and
// what happens when a port cannot be opened or goes away.
namespace {

// A pseudo-terminal that stands for a plugged-in port.
struct Pty {
    Pty() {
        char name[256] = {};
        termios raw{};
        ::cfmakeraw(&raw);
        if (::openpty(&master, &slave, name, &raw, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
    }
    ~Pty() {
        if (slave >= 0) ::close(slave);
        if (master >= 0) ::close(master);
    }
    int master = -1, slave = -1;
    QString path;
};

RawPort UsbPort(const QString& path, std::uint16_t vendor, std::uint16_t product,
                const QString& name) {
    RawPort port;
    port.devicePath = path;
    port.portName = path.section('/', -1);
    port.isUsb = true;
    port.vendorId = vendor;
    port.productId = product;
    port.description = name;
    return port;
}

}  // namespace

TEST(SendDialog, NoAdapterOffersTheSystemPortsAndRemembersTheChoice) {
    RecordingSink sink;
    CSendDlg::RememberPort(QString());
    const RawPort ch340 =
        UsbPort(QStringLiteral("/dev/ttyUSB7"), 0x1a86, 0x7523, QStringLiteral("USB Serial"));
    CSendDlg dialog(sink, QString(), {1, 0}, nullptr, [&] { return std::vector<RawPort>{ch340}; });
    auto* chooser = dialog.findChild<QWidget*>(QStringLiteral("portChooser"));
    auto* list = dialog.findChild<QComboBox*>(QStringLiteral("portList"));
    EXPECT_TRUE(chooser->isHidden());  // detection comes first

    dialog.PressOpenClose();
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("未连接上彩球！")});
    EXPECT_FALSE(chooser->isHidden());
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->itemText(0), QStringLiteral("/dev/ttyUSB7  1a86:7523  USB Serial"));

    emit list->activated(0);  // the user picks the entry
    EXPECT_TRUE(dialog.PortKnown());
    EXPECT_EQ(dialog.Status(), QStringLiteral("选择端口：/dev/ttyUSB7"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("portPath"))->text(),
              QStringLiteral("/dev/ttyUSB7"));
    EXPECT_EQ(CSendDlg::RememberedPort(), QStringLiteral("/dev/ttyUSB7"));

    // The next window offers the remembered path at once.
    CSendDlg next(sink, QString(), {1, 0}, nullptr, [] { return std::vector<RawPort>{}; });
    EXPECT_FALSE(next.findChild<QWidget*>(QStringLiteral("portChooser"))->isHidden());
    EXPECT_EQ(next.findChild<QLineEdit*>(QStringLiteral("portPath"))->text(),
              QStringLiteral("/dev/ttyUSB7"));
    EXPECT_FALSE(next.PortKnown());  // offered, not chosen
    CSendDlg::RememberPort(QString());
}

TEST(SendDialog, SendsToTheVirtualBallThroughATypedPath) {
    CVirtualBall ball;
    QString error;
    ASSERT_TRUE(ball.Open(&error)) << error.toStdString();
    TempDir dir;
    QByteArray data;
    for (int k = 0; k < 600; ++k) data.append(static_cast<char>(k * 7));
    RecordingSink sink;
    CSendDlg dialog(sink, dir.Write("data.bin", data), {1, 0}, nullptr,
                    [] { return std::vector<RawPort>{}; });
    dialog.SetTickInterval(5);
    dialog.show();
    dialog.PressOpenClose();  // no adapter: the chooser appears
    auto* path = dialog.findChild<QLineEdit*>(QStringLiteral("portPath"));
    path->setText(ball.DevicePath());
    path->setFocus();
    QTest::keyClick(path, Qt::Key_Return);  // chooses the path, does not leave the window
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Status(), QStringLiteral("选择端口：") + ball.DevicePath());

    dialog.PressOpenClose();
    ASSERT_TRUE(dialog.PortOpen()) << sink.texts.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("未连接上彩球！")});  // only the first press
    auto received = std::async(std::launch::async, [&] { return ball.Receive(5, 5); });
    dialog.PressSend();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return received.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        20000));
    const BallReport report = received.get();
    EXPECT_EQ(report.data, data);
    EXPECT_EQ(report.packets, 3);
    // Everything arrived in order with its CRC and the end command; only the
    // shortened countdown is noticed.
    ASSERT_EQ(report.pacing.size(), 1) << report.failure.toStdString();
    EXPECT_TRUE(report.pacing[0].contains(QStringLiteral("init command")))
        << report.pacing[0].toStdString();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return dialog.Status() == QStringLiteral("发送完毕!"); }, 5000));
    dialog.close();
    CSendDlg::RememberPort(QString());
}

TEST(SendDialog, ATypedPathIsChosenWhenTheOpenButtonIsPressed) {
    CVirtualBall ball;
    ASSERT_TRUE(ball.Open(nullptr));
    RecordingSink sink;
    CSendDlg dialog(sink, QString(), {1, 0}, nullptr, [] { return std::vector<RawPort>{}; });
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.PressOpenClose();
    auto* path = dialog.findChild<QLineEdit*>(QStringLiteral("portPath"));
    path->setFocus();
    QTest::keyClicks(path, ball.DevicePath());
    auto* open = dialog.findChild<QPushButton*>(QStringLiteral("openClose"));
    open->setFocus();  // what a click on the button does first
    open->click();
    EXPECT_TRUE(dialog.PortOpen()) << sink.texts.join(QLatin1Char('\n')).toStdString();
    dialog.close();
    CSendDlg::RememberPort(QString());
}

TEST(SendDialog, APortHeldElsewhereNamesTheProgram) {
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    // This test process holds the port the way a second sender would.
    const int held = ::open(pty.path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    QFile comm(QStringLiteral("/proc/self/comm"));
    ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
    const QString self = QString::fromLocal8Bit(comm.readAll()).trimmed();

    RecordingSink sink;
    CSendDlg dialog(sink, QString(), {1, 0}, nullptr, [] { return std::vector<RawPort>{}; });
    dialog.ChoosePort(pty.path);
    dialog.PressOpenClose();
    EXPECT_FALSE(dialog.PortOpen());
    ASSERT_EQ(sink.texts.size(), 1);
    EXPECT_TRUE(sink.texts[0].startsWith(QStringLiteral("串口未打开\n\n")))
        << sink.texts[0].toStdString();
    EXPECT_TRUE(sink.texts[0].contains(QStringLiteral("%1（进程 %2）").arg(self).arg(::getpid())))
        << sink.texts[0].toStdString();
    EXPECT_TRUE(dialog.PortKnown());  // still there: the user may free it and try again
    ::close(held);
    CSendDlg::RememberPort(QString());
}

TEST(SendDialog, AVanishedAdapterIsNotReopenedByItsOldName) {
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    RawPort adapter =
        UsbPort(pty.path, AdapterVendorId, 0x2303, QStringLiteral("USB-Serial Controller"));
    bool plugged = true;
    RecordingSink sink;
    CSendDlg dialog(sink, QString(), {1, 0}, nullptr, [&] {
        return plugged ? std::vector<RawPort>{adapter} : std::vector<RawPort>{};
    });
    dialog.PressOpenClose();
    ASSERT_TRUE(dialog.PortOpen());
    plugged = false;  // unplugged; its device name may come back for another device
    dialog.PressOpenClose();
    EXPECT_FALSE(dialog.PortOpen());
    dialog.PressOpenClose();
    EXPECT_FALSE(dialog.PortOpen());
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("未连接上彩球！")});
}

TEST(SendDialog, AChosenPortThatHungUpMustBeChosenAgain) {
    CVirtualBall ball;
    ASSERT_TRUE(ball.Open(nullptr));
    RecordingSink sink;
    CSendDlg dialog(sink, QString(), {1, 0}, nullptr, [] { return std::vector<RawPort>{}; });
    dialog.ChoosePort(ball.DevicePath());
    dialog.PressOpenClose();
    ASSERT_TRUE(dialog.PortOpen());
    ball.Hangup();  // the cable is pulled while the port is open
    dialog.PressOpenClose();
    EXPECT_FALSE(dialog.PortOpen());
    EXPECT_FALSE(dialog.PortKnown());
    dialog.PressOpenClose();
    EXPECT_FALSE(dialog.PortOpen());
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("未连接上彩球！")});
    CSendDlg::RememberPort(QString());
}

TEST(SendDialog, AChosenPathThatIsGoneSaysSoAndIsForgotten) {
    RecordingSink sink;
    CSendDlg dialog(sink, QString(), {1, 0}, nullptr, [] { return std::vector<RawPort>{}; });
    dialog.ChoosePort(QStringLiteral("/dev/ttyUSB-glowdeck-absent"));
    dialog.PressOpenClose();
    ASSERT_EQ(sink.texts.size(), 1);
    EXPECT_TRUE(sink.texts[0].contains(QStringLiteral("已不存在"))) << sink.texts[0].toStdString();
    EXPECT_FALSE(dialog.PortKnown());
    CSendDlg::RememberPort(QString());
}

TEST(SendDialog, ABallThatStopsReadingEndsTheSendAndTheWindowCloses) {
    Pty pty;  // the other end is open and never read
    ASSERT_FALSE(pty.path.isEmpty());
    TempDir dir;
    RecordingSink sink;
    CSendDlg dialog(sink, dir.Write("data.bin", QByteArray(249 * 200, 'x')), {1, 0}, nullptr,
                    [] { return std::vector<RawPort>{}; });
    dialog.SetTickInterval(5);
    dialog.SetWriteDeadline(std::chrono::milliseconds(200));
    dialog.show();
    dialog.ChoosePort(pty.path);
    dialog.PressOpenClose();
    ASSERT_TRUE(dialog.PortOpen()) << sink.texts.join(QLatin1Char('\n')).toStdString();
    dialog.PressSend();
    const bool failed =
        QTest::qWaitFor([&] { return dialog.Status() == QStringLiteral("发送失败！"); }, 60000);
    if (!failed) {
        ::close(pty.master);  // ends a write that would block for ever
        pty.master = -1;
    }
    ASSERT_TRUE(failed) << dialog.Status().toStdString();
    ASSERT_EQ(sink.texts.size(), 1);
    EXPECT_TRUE(sink.texts[0].contains(QStringLiteral("写入超时"))) << sink.texts[0].toStdString();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return dialog.findChild<QPushButton*>(QStringLiteral("send"))->isEnabled(); }, 5000));
    dialog.close();
    EXPECT_FALSE(dialog.PortOpen());
    CSendDlg::RememberPort(QString());
}
