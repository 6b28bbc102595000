// SPDX-License-Identifier: GPL-3.0-or-later
// Faults a new user met in the desktop program, each driven through the
// real widgets: the send window's states, dialogs beneath other windows, the
// paint window's place, the font style, pen strokes, number boxes, the
// new-project name, painting lost to a conversion, progress bars, the open
// dialog's file name, and the stored ball type.
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/AppDialogs.h"
#include "app/CItemListPane.h"
#include "app/CMainFrame.h"
#include "app/CNewProjectDlg.h"
#include "app/CProjectTree.h"
#include "app/CSendDlg.h"
#include "app/QtMessageSink.h"
#include "app/ShellDialogs.h"
#include "editors/CFontColourDlg.h"
#include "editors/CPictureFrame.h"
#include "editors/CViewBmp.h"
#include "editors/CViewGif.h"
#include "editors/CViewNull.h"
#include "editors/CViewTxt.h"
#include "model/CapacityChecks.h"
#include "model/GlowdeckDoc.h"
#include "model/IniFile.h"
#include "support/FakeHosts.h"
#include "support/PreviewWait.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

class Desk : public ::testing::Test {
protected:
    Desk() : doc_(sink_) {
        doc_.SetProjectRoot(dir_.Path());
        EXPECT_TRUE(doc_.CreateProjectNamed(QStringLiteral("p")));
        EXPECT_TRUE(doc_.NewPicture(1, QStringLiteral("图")));
        EXPECT_TRUE(doc_.NewAnimation(1, QStringLiteral("动")));
        EXPECT_TRUE(doc_.NewText(1, QStringLiteral("文")));
        EXPECT_TRUE(doc_.NewInterval(1, QStringLiteral("隔")));
    }
    // Runs `act` on the modal dialog once it is up (inside its own loop).
    template <class Act>
    static void WhenModal(Act act) {
        QTimer::singleShot(0, [act] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            act(modal);
        });
    }
    TempDir dir_;
    RecordingSink sink_;
    CGlowdeckDoc doc_;
    CItemView::ShowGroup refresh_ = [](int) {};
};

// A pseudo-terminal standing for the ball's port.
struct Pty {
    Pty() {
        char name[256] = {};
        termios raw{};
        ::cfmakeraw(&raw);
        if (::openpty(&master, &slave, name, &raw, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
    }
    ~Pty() {
        ::close(slave);
        ::close(master);
    }
    int master = -1, slave = -1;
    QString path;
};

class AskedShell : public IShellDialogs {
public:
    int AskBallType() override { return ++ballAsked, 1; }
    int AskLayer() override { return 0; }
    int ballAsked = 0;
};

}  // namespace

TEST_F(Desk, SendWindowOffersToCompileWhileDataLagsBehind) {
    int compiles = 0;
    auto compile = [&] {
        ++compiles;
        QFile data(doc_.DataFilePath());
        EXPECT_TRUE(data.open(QIODevice::WriteOnly) && data.write("compiled") == 8);
        doc_.MarkCompiled(doc_.Revision());
        return true;
    };
    CSendDlg dialog(sink_, doc_.DataFilePath(), {1, 0}, nullptr,
                    [] { return std::vector<RawPort>{}; });
    dialog.SetCompiledCheck([&] { return CompiledDataStale(doc_); }, compile);
    auto* compileFirst = dialog.findChild<QPushButton*>(QStringLiteral("compileFirst"));
    ASSERT_TRUE(dialog.SaysStale());  // never compiled
    EXPECT_TRUE(compileFirst->isDefault());
    compileFirst->click();
    EXPECT_EQ(compiles, 1);
    EXPECT_FALSE(dialog.SaysStale());

    // A project file saved after data.bin (an edit in an earlier run) lags too.
    QFile data(doc_.DataFilePath());
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    ASSERT_TRUE(data.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
    data.close();
    dialog.SetCompiledCheck([&] { return CompiledDataStale(doc_); }, compile);
    EXPECT_TRUE(dialog.SaysStale());

    // Pressing "发送" on stale data asks first; compiling is the answer given.
    sink_.answers = {IMessageSink::Answer::Yes};
    dialog.PressSend();
    ASSERT_FALSE(sink_.texts.isEmpty());
    EXPECT_EQ(sink_.texts.front(), QStringLiteral("项目在上次编译后已修改，是否先编译？"));
    EXPECT_EQ(compiles, 2);
    EXPECT_FALSE(dialog.SaysStale());
}

TEST(SendWindow, RememberedPathOpensAndTheInitWaitKeepsSendOff) {
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    TempDir dir;
    RecordingSink sink;
    CSendDlg::RememberPort(pty.path);
    CSendDlg dialog(sink, dir.Write(QStringLiteral("data.bin"), QByteArray(300, 'x')), {1, 0},
                    nullptr, [] { return std::vector<RawPort>{}; });
    CSendDlg::RememberPort(QString());
    // No adapter: the path chosen last time opens without "选用".
    dialog.PressOpenClose();
    ASSERT_TRUE(dialog.PortOpen()) << sink.texts.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(sink.texts.isEmpty());

    auto* send = dialog.findChild<QPushButton*>(QStringLiteral("send"));
    dialog.SetTickInterval(60000);
    dialog.PressSend();
    char init[8] = {};
    ASSERT_EQ(::read(pty.master, init, sizeof init), 3);  // A6 55 AA: the init pass ran
    // Its end re-enables the buttons on the worker's side; the wait goes on.
    EXPECT_FALSE(QTest::qWaitFor([&] { return send->isEnabled(); }, 1500));
    EXPECT_TRUE(dialog.Transferring());

    // "关闭串口" during the wait ends the transfer at once, with word of it.
    dialog.SetTickInterval(1);
    dialog.PressOpenClose();
    EXPECT_FALSE(dialog.PortOpen());
    EXPECT_FALSE(dialog.Transferring());
    EXPECT_EQ(dialog.Status(), QStringLiteral("串口已关闭，发送已中止"));
    EXPECT_FALSE(QTest::qWaitFor([&] { return !sink.texts.isEmpty(); }, 300))
        << sink.texts.join(QLatin1Char('\n')).toStdString();  // no late "串口未打开"
}

TEST(Dialogs, MessageBoxesBelongToTheActiveWindowAndStayOnTop) {
    QWidget main;
    main.show();
    QWidget paint(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    paint.show();
    paint.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&paint));
    QtMessageSink sink;
    sink.SetParent(&main);
    QWidget* parent = nullptr;
    bool onTop = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        parent = box->parentWidget();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box->done(QMessageBox::No);
    });
    sink.Show(QStringLiteral("是否要退出？"), IMessageSink::Caption(), IMessageSink::Icon::Question,
              IMessageSink::Buttons::YesNo);
    EXPECT_EQ(parent, &paint);
    EXPECT_TRUE(onTop);
}

TEST_F(Desk, NewProjectDialogRefusesAnExistingFolderAndStaysOpen) {
    AppDialogs dialogs(nullptr, sink_);
    dialogs.SetProjectRoot([&] { return doc_.ProjectRoot(); });
    bool stayedOpen = false;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CNewProjectDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->SetName(QStringLiteral("p"));  // the project made above
        dialog->accept();
        stayedOpen = dialog->isVisible() && dialog->result() != QDialog::Accepted;
        dialog->SetName(QStringLiteral("新的"));
        dialog->accept();
    });
    EXPECT_EQ(dialogs.AskNewProjectName(), std::optional<QString>(QStringLiteral("新的")));
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_TRUE(sink_.texts[0].startsWith(QStringLiteral("项目文件夹已存在或无法建立")))
        << sink_.texts[0].toStdString();
}

TEST_F(Desk, OpenDialogFillsInTheProjectFileAsTheFolderSpellsIt) {
    const QString folder = doc_.ProjectRoot() + QStringLiteral("p");
    AppDialogs dialogs(nullptr, sink_);
    QStringList selected;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        selected = dialog->selectedFiles();
        dialog->reject();
    });
    EXPECT_FALSE(dialogs.AskProjectFile(folder));
    EXPECT_EQ(selected, QStringList{folder + QStringLiteral("/Index.prj")});
}

TEST_F(Desk, PaintWindowFitsTheScreenScrollsAndClosesWithEscape) {
    QWidget host;
    auto* frame = new CPictureFrame(&host);
    QImage strip(718, 56, QImage::Format_RGB32);
    strip.fill(Qt::red);
    frame->SetImage(strip);
    frame->Fit(112);
    host.show();
    frame->OpenPaintWindow();
    CPaintWindow* window = frame->PaintWindow();
    ASSERT_NE(window, nullptr);
    const QRect available = host.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window->geometry()))
        << window->geometry().x() << "," << window->geometry().y() << " "
        << window->geometry().width() << "x" << window->geometry().height();
    EXPECT_GT(window->horizontalScrollBar()->maximum(), 0);  // the strip scrolls
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Desk, FontDialogConfirmedUnchangedKeepsEveryStyleBit) {
    CViewTxt view(doc_, 0, 2, refresh_);
    for (const int style : {1, 2, 3, 5, 6, 15}) {
        SCOPED_TRACE(style);
        view.SetFont(QStringLiteral("宋体"), 42, style);
        WhenModal([](QWidget* modal) {
            ASSERT_NE(qobject_cast<CFontColourDlg*>(modal), nullptr);
            static_cast<QDialog*>(modal)->accept();
        });
        view.ChangeFont();
        EXPECT_EQ(view.FontStyle(), style);
    }
}

TEST_F(Desk, NumberBoxesBesideSlidersTakeTypingBothWays) {
    CViewBmp picture(doc_, 0, 0, refresh_);
    CViewGif animation(doc_, 0, 1, refresh_);
    CViewNull interval(doc_, 0, 3, refresh_);
    CViewTxt text(doc_, 0, 2, refresh_);
    struct Case {
        QWidget* view;
        const char *slider, *box;
        int typed, slid;
    };
    const Case cases[] = {
        {&picture, "colour0", "colourValue0", 200, 17},
        {&animation, "slider3", "sliderValue3", 7, 3},  // loop count
        {&interval, "length", "lengthValue", 150, 42},
    };
    // The text offsets: pixels in the box, tenths on the slider.
    auto* punctuation = text.findChild<QSlider*>(QStringLiteral("offset3"));
    auto* punctuationBox = text.findChild<QDoubleSpinBox*>(QStringLiteral("offsetValue3"));
    ASSERT_TRUE(punctuation && punctuationBox);
    punctuationBox->selectAll();
    QTest::keyClicks(punctuationBox, QStringLiteral("-12.5"));
    QTest::keyClick(punctuationBox, Qt::Key_Return);
    EXPECT_EQ(punctuation->value(), -125);
    punctuation->setValue(1999);
    EXPECT_EQ(text.OffsetText(3), QStringLiteral("199.9"));
    EXPECT_DOUBLE_EQ(punctuationBox->value(), 199.9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        auto* slider = c.view->findChild<QSlider*>(QLatin1String(c.slider));
        auto* box = c.view->findChild<QSpinBox*>(QLatin1String(c.box));
        ASSERT_TRUE(slider && box);
        box->selectAll();
        QTest::keyClicks(box, QString::number(c.typed));
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(slider->value(), c.typed);
        slider->setValue(c.slid);
        EXPECT_EQ(box->value(), c.slid);
    }
}

TEST_F(Desk, ConversionAsksBeforeDroppingPaintingNotReplaced) {
    CViewBmp view(doc_, 0, 0, refresh_);
    ASSERT_TRUE(PreviewSettled(view));
    view.SelectTool(PaintTool::RoundPen);
    CPaintCanvas& canvas = view.LedFrame()->Canvas();
    canvas.FrameEvent(CPaintCanvas::Event::Press, QPoint(3, 3));
    canvas.FrameEvent(CPaintCanvas::Event::Release, QPoint(3, 3));
    const QImage painted = view.LedFrame()->CurrentImage();
    auto* red = view.findChild<QSlider*>(QStringLiteral("colour0"));
    const int before = view.Conversions();

    sink_.answers = {IMessageSink::Answer::No};
    red->setValue(200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sink_.texts.isEmpty(); }, 5000));
    EXPECT_EQ(sink_.texts.takeFirst(), QStringLiteral("未置换的绘制将丢失，是否继续？"));
    EXPECT_EQ(view.Conversions(), before);
    EXPECT_EQ(view.LedFrame()->CurrentImage(), painted);
    EXPECT_EQ(red->value(), 128);  // back to what the LED image shows

    sink_.answers = {IMessageSink::Answer::Yes};
    red->setValue(200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Conversions() > before; }, 5000));
    EXPECT_EQ(sink_.texts, QStringList{QStringLiteral("未置换的绘制将丢失，是否继续？")});
    EXPECT_EQ(doc_.ProjectFile()->GetInt(0, 0, "r"), 200);
}

TEST_F(Desk, ProgressBarsAreFullAfterAConversion) {
    CViewBmp picture(doc_, 0, 0, refresh_);
    ASSERT_TRUE(PreviewSettled(picture));
    EXPECT_EQ(picture.findChild<QProgressBar*>(QStringLiteral("progress"))->value(), 100);
    CViewGif animation(doc_, 0, 1, refresh_);
    animation.findChild<QSlider*>(QStringLiteral("slider0"))->setValue(90);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return doc_.ProjectFile()->GetInt(0, 1, "r") == 90 && animation.Converted(); },
        5000));
    EXPECT_EQ(animation.findChild<QProgressBar*>(QStringLiteral("progress"))->value(), 100);
}

TEST(BallTypeSetting, OnlyOneOrTwoCountsInTheDesktopAndTheCommandLine) {
    const std::pair<const char*, int> table[] = {{"", 0}, {"1", 1}, {"2", 2}, {"3", 0}, {"-1", 0}};
    for (const auto& [value, type] : table) {
        TempDir dir;
        const QByteArray text = QByteArray("[TYPE]\nTYPE=") + value + '\n';
        EXPECT_EQ(StoredBallType(CIniFile(dir.Write(QStringLiteral("setting.ini"), text))), type)
            << value;
    }

    // TYPE=3: the desktop asks and stores the answer.
    TempDir dir;
    QDir().mkpath(dir.File(QStringLiteral("bin")));
    const QString ini = dir.Write(QStringLiteral("bin/setting.ini"), "[TYPE]\nTYPE=3\n");
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    AskedShell shell;
    {
        CMainFrame frame(doc, shell, dir.File(QStringLiteral("bin")));
        EXPECT_EQ(shell.ballAsked, 1);
        EXPECT_EQ(frame.BallType(), 1);
    }
    EXPECT_EQ(StoredBallType(CIniFile(ini)), 1);

    // The command line uses its default (a single-layer ball: no inner layer
    // of 14-byte columns), and a stored 2 where one is stored.
    const QString cli = dir.File(QStringLiteral("bin/glowdeck-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(GLOWDECK_CLI), cli));
    // With the program it hands its drawing and editing commands to.
    ASSERT_TRUE(QFile::copy(QStringLiteral(GLOWDECK_CLI "-full"), cli + QStringLiteral("-full")));
    auto run = [&](const QStringList& args) {
        QProcess process;
        process.start(cli, args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    const QString show = dir.File(QStringLiteral("show"));
    run({QStringLiteral("new"), QStringLiteral("--root"), dir.Path(), QStringLiteral("show")});
    run({QStringLiteral("add"), show, QStringLiteral("1"), QStringLiteral("interval")});
    auto columnBytes = [&](const QByteArray& settings) {
        dir.Write(QStringLiteral("bin/setting.ini"), settings);
        const QStringList inner{QStringLiteral("--layer"), QStringLiteral("inner")};
        run(QStringList{QStringLiteral("compile"), show} + inner);
        const QString out =
            run(QStringList{QStringLiteral("inspect"), show + QStringLiteral("/data.bin")} + inner);
        const QString expected = settings.contains("TYPE=2")
                                     ? QStringLiteral("columns of 14 bytes")
                                     : QStringLiteral("columns of 21 bytes");
        EXPECT_TRUE(out.contains(expected)) << settings.constData() << out.toStdString();
    };
    columnBytes("[TYPE]\nTYPE=3\n");
    columnBytes("[TYPE]\nTYPE=2\n");
}

TEST_F(Desk, ItemListFollowsTheTreeAndKeepsThumbnailsUntinted) {
    CItemListPane list(doc_);
    list.ShowGroup(1, 3);
    EXPECT_EQ(list.currentRow(), 2);
    list.ShowGroup(1);  // a refresh after an edit keeps the entry
    EXPECT_EQ(list.currentRow(), 2);
    list.FinishThumbnails();
    // Selected, the picture is shown as it is: black stays black.
    const QImage selected = list.item(2)->icon().pixmap(list.iconSize(), QIcon::Selected).toImage();
    EXPECT_EQ(selected.pixel(2, 2) & 0xFFFFFF, 0u);
}

TEST(MainWindow, FitsTheScreenAndShowsTheEditorAgainAfterTheMainPage) {
    TempDir dir;
    QDir().mkpath(dir.File(QStringLiteral("bin")));
    dir.Write(
        QStringLiteral("bin/setting.ini"),
        "[PATH]\nPROJECT=" + dir.File(QStringLiteral("projects")).toUtf8() + "\n[TYPE]\nTYPE=1\n");
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    AskedShell shell;
    ScriptedDialogs dialogs;
    CMainFrame frame(doc, shell, dir.File(QStringLiteral("bin")));
    frame.SetProjectDialogs(&dialogs);
    dialogs.starts = {IProjectDialogs::StartChoice::NewProject};
    dialogs.names = {QStringLiteral("x")};
    ASSERT_TRUE(frame.Start());
    // Un-maximised, the window and its frame fit the screen's free area.
    const QSize room = frame.screen()->availableGeometry().size();
    EXPECT_LE(frame.height() + 19, room.height());
    EXPECT_LE(frame.width(), room.width());

    frame.show();
    CProjectTree& tree = *frame.Tree();
    tree.setCurrentItem(tree.GroupNode(1));
    tree.AddItem(ItemKind::Picture);
    ASSERT_EQ(frame.CurrentViewKind(), 7);
    // The item's editor comes back, whichever way the same item is chosen
    // again after "显示主页面".
    QTreeWidgetItem* item = tree.currentItem();
    CItemListPane& list = *frame.ItemList();
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"tree",
         [&] {
             QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                               tree.visualItemRect(item).center());
         }},
        {"thumbnail",
         [&] {
             QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                               list.visualItemRect(list.item(0)).center());
         }},
        {"Enter", [&] { QTest::keyClick(&tree, Qt::Key_Return); }},
    };
    for (const auto& [way, choose] : ways) {
        frame.Command(32860)->trigger();  // "显示主页面"
        ASSERT_EQ(frame.CurrentViewKind(), 0) << way;
        choose();
        EXPECT_TRUE(QTest::qWaitFor([&] { return frame.CurrentViewKind() == 7; }, 3000)) << way;
    }
}
