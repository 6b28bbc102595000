// The small dialogs and the compile and send windows, with real widgets.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <future>
#include <thread>

#include "app/CChoiceDlg.h"
#include "app/CCompileDlg.h"
#include "app/CSendDlg.h"
#include "app/QtMessageSink.h"
#include "device/PortInfo.h"
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
    doc.NewPicture(1, QStringLiteral("图"));
    doc.NewInterval(1, QStringLiteral("隔"));
    CCompileDlg dialog(doc, {1, 0});
    dialog.SetPreviewFolder(dir.Path());
    QSignalSpy finished(&dialog, &CCompileDlg::compileFinished);
    ASSERT_TRUE(dialog.StartCompile());
    EXPECT_FALSE(dialog.StartCompile());  // one at a time
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_EQ(dialog.LastOutcome(), CCompileDlg::Outcome::Compiled);
    EXPECT_FALSE(doc.needsCompile);
    const QProgressBar* bar = dialog.findChild<QProgressBar*>();
    EXPECT_EQ(bar->maximum(), 200);
    EXPECT_EQ(bar->value(), 200);
    EXPECT_EQ(QFileInfo(doc.dataFilePath).size(), 22 + 6 + 75 * 21);
}

TEST(CompileDialog, RunsOnACopyAndCancelKeepsTheOldFile) {
    TempDir dir;
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetProjectRoot(dir.Path());
    ASSERT_TRUE(doc.CreateProjectNamed(QStringLiteral("p")));
    doc.NewPicture(1, QStringLiteral("图"));
    CCompileDlg dialog(doc, {1, 0});
    dialog.SetPreviewFolder(dir.Path());
    QSignalSpy finished(&dialog, &CCompileDlg::compileFinished);
    // An edit made while the compile runs is not in it, and the flag stays.
    ASSERT_TRUE(dialog.StartCompile());
    doc.NewInterval(1, QStringLiteral("隔"));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(QFileInfo(doc.dataFilePath).size(), 22 + 6 + 74 * 21);
    EXPECT_TRUE(doc.needsCompile);

    const QByteArray before = ReadAll(doc.dataFilePath);
    finished.clear();
    ASSERT_TRUE(dialog.StartCompile());
    dialog.findChild<QPushButton*>(QStringLiteral("cancel"))->click();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(dialog.LastOutcome(), CCompileDlg::Outcome::Cancelled);
    EXPECT_EQ(ReadAll(doc.dataFilePath), before);
    EXPECT_TRUE(sink.texts.isEmpty());
}

TEST(SendDialog, NoAdapterLeavesBothLightsUnlit) {
    RecordingSink sink;
    CSendDlg dialog(sink, QStringLiteral("/nonexistent/data.bin"), {1, 0}, nullptr, [] { return std::vector<PortInfo>{}; });
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("发送数据"));
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("send"))->isEnabled());
    dialog.PressOpenClose();
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("未连接上彩球！")});
    EXPECT_FALSE(dialog.PortOpen());
    EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>()->toPlainText().startsWith(QStringLiteral("1、使用提供的USB线缆连接电脑及Orbilux。")));
    EXPECT_EQ(CSendDlg::Instructions().count(QStringLiteral("\r\n")), 9);
}

TEST(SendDialog, FindsTheAdapterOpensAndClosesThePort) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    PortInfo adapter;
    adapter.devicePath = QString::fromLocal8Bit(name);
    adapter.friendlyName = QStringLiteral("Prolific USB-to-Serial Comm Port (%1)").arg(QString::fromLocal8Bit(name).section('/', -1));
    TempDir dir;
    RecordingSink sink;
    {
        CSendDlg dialog(sink, dir.Write("data.bin", "x"), {2, 1}, nullptr, [&] { return std::vector<PortInfo>{adapter}; });
        dialog.PressOpenClose();
        EXPECT_TRUE(sink.texts.isEmpty()) << sink.texts.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(dialog.PortOpen());
        EXPECT_EQ(dialog.Status(), QStringLiteral("检测到传送端口!"));
        EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("send"))->isEnabled());
        EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("openClose"))->text(), QStringLiteral("关闭串口"));
        dialog.PressSend();
        QTest::qWait(100);
        EXPECT_EQ(dialog.Status(), QStringLiteral("初始化设备进程......"));
        char init[8] = {};
        EXPECT_EQ(::read(master, init, sizeof init), 4);  // A6 55 AA 02: inner layer
        EXPECT_EQ(static_cast<unsigned char>(init[3]), 0x02);
        dialog.PressOpenClose();
        EXPECT_FALSE(dialog.PortOpen());
        EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("openClose"))->text(), QStringLiteral("打开串口"));
    }
    ::close(slave);
    ::close(master);
}

TEST(SendDialog, FactoryModeCaptionAndMissingFile) {
    TempDir dir;
    RecordingSink sink;
    CSendDlg dialog(sink, QString(), {2, 0}, nullptr, [] { return std::vector<PortInfo>{}; });
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
        return sink.Show(QStringLiteral("error code=5"), QStringLiteral("Orbilux"), IMessageSink::Icon::Warning,
                         IMessageSink::Buttons::Ok);
    });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(done.get(), IMessageSink::Answer::Ok);
    // The box itself is waiting in the event queue; drop it instead of showing it.
    QCoreApplication::removePostedEvents(qApp, QEvent::MetaCall);
}
