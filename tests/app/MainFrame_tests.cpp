// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program driven through its real widgets: start-up, the tree's
// limits and edits, drag and drop, paste, the send command, the layer menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>

#include "app/AppTranslations.h"
#include "app/CItemListPane.h"
#include "app/CMainFrame.h"
#include "app/CProjectTree.h"
#include "app/ShellDialogs.h"
#include "editors/CPictureFrame.h"
#include "editors/CViewBmp.h"
#include "model/GlowdeckDoc.h"
#include "model/IniFile.h"
#include "model/TreeRules.h"
#include "support/FakeHosts.h"
#include "support/PreviewWait.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;
using Choice = IProjectDialogs::StartChoice;

namespace {

class ScriptedShell : public IShellDialogs {
public:
    int AskBallType() override {
        ++ballAsked;
        return ballAnswer;
    }
    int AskLayer() override {
        ++layerAsked;
        return layerAnswer;
    }
    int ballAnswer = 1, layerAnswer = 1, ballAsked = 0, layerAsked = 0;
};

// The frame with its dialogs recorded instead of run.
class TestFrame : public CMainFrame {
public:
    using CMainFrame::CMainFrame;
    bool RunCompileDialog() override {
        ++compileRuns;
        return compileResult;
    }
    void RunSendDialog(bool factory) override { sendRuns << factory; }
    bool LaunchBrowser(const QString&) override { return false; }  // a desktop without a browser
    int compileRuns = 0;
    bool compileResult = true;
    QList<bool> sendRuns;
};

class Shell : public ::testing::Test {
protected:
    Shell() : doc_(sink_) {}
    // Starts the program with a setting.ini of `settings` (none when empty).
    void Start(const QByteArray& settings, std::deque<Choice> starts = {Choice::NewProject},
               std::deque<QString> names = {QStringLiteral("测试")}) {
        program_ = dir_.File("bin");
        QDir().mkpath(program_);
        QByteArray ini = "[PATH]\nPROJECT=" + dir_.File("projects").toUtf8() + "\n" + settings;
        dir_.Write("bin/setting.ini", ini);
        frame_ = std::make_unique<TestFrame>(doc_, shell_, program_);
        frame_->SetProjectDialogs(&dialogs_);
        dialogs_.starts = std::move(starts);
        dialogs_.names = std::move(names);
        started_ = frame_->Start();
    }
    CProjectTree& Tree() { return *frame_->Tree(); }
    QStringList Captions(QTreeWidgetItem* parent) {
        QStringList list;
        for (int k = 0; k < parent->childCount(); ++k) list << parent->child(k)->text(0);
        return list;
    }
    QStringList FileNames(int g) {
        QStringList list;
        for (int i = 0; i < doc_.ProjectFile()->ItemCount(g - 1); ++i)
            list << doc_.ProjectFile()->GetAttr(g - 1, i, "name");
        return list;
    }
    void AddPictures(int group, int count) {
        Tree().setCurrentItem(Tree().GroupNode(group));
        for (int k = 0; k < count; ++k) Tree().AddItem(ItemKind::Picture);
    }

    TempDir dir_;
    QString program_;
    RecordingSink sink_;
    ScriptedDialogs dialogs_;
    ScriptedShell shell_;
    CGlowdeckDoc doc_;
    std::unique_ptr<TestFrame> frame_;
    bool started_ = false;
};

}  // namespace

TEST_F(Shell, BallTypeIsAskedOnceAndWrittenBack) {
    shell_.ballAnswer = 2;
    Start("");
    ASSERT_TRUE(started_);
    EXPECT_EQ(shell_.ballAsked, 1);
    EXPECT_EQ(CIniFile(program_ + QStringLiteral("/setting.ini"))
                  .GetInt(QStringLiteral("TYPE"), QStringLiteral("TYPE"), -1),
              2);
    EXPECT_EQ(shell_.layerAsked, 1);  // a double-layer ball asks the layer after the project
    EXPECT_EQ(frame_->Layer(), 1);
}

TEST_F(Shell, KnownSingleBallAsksNothingAndDisablesTheLayerCommands) {
    Start("[TYPE]\nTYPE=1\n");
    EXPECT_EQ(shell_.ballAsked, 0);
    EXPECT_EQ(shell_.layerAsked, 0);
    EXPECT_FALSE(frame_->Command(32885)->isEnabled());
    EXPECT_FALSE(frame_->Command(32886)->isEnabled());
    EXPECT_TRUE(frame_->Command(32887)->isChecked());
    frame_->Command(32888)->trigger();  // double-layer: layer commands on, outer checked
    EXPECT_TRUE(frame_->Command(32885)->isEnabled());
    EXPECT_TRUE(frame_->Command(32886)->isChecked());
    frame_->Command(32885)->trigger();
    EXPECT_EQ(frame_->Layer(), 1);
    frame_->Command(32887)->trigger();  // single again: back to outer
    EXPECT_EQ(frame_->Layer(), 0);
    EXPECT_FALSE(frame_->Command(32885)->isEnabled());
}

TEST_F(Shell, CancelledNewProjectReturnsToTheStartDialog) {
    Start("[TYPE]\nTYPE=1\n", {Choice::NewProject, Choice::NewProject}, {});
    EXPECT_FALSE(started_);  // the name was cancelled, then the script ran out: exit
    EXPECT_EQ(dialogs_.startShown, 3);
    Start("[TYPE]\nTYPE=1\n", {Choice::NewProject, Choice::NewProject}, {QStringLiteral("第二")});
    EXPECT_TRUE(started_);
    EXPECT_EQ(Tree().ProjectNode()->text(0), QStringLiteral("第二"));
}

TEST_F(Shell, TreeLimitsAndTheirMessagesInOrder) {
    Start("[TYPE]\nTYPE=1\n");
    // No group yet.
    Tree().setCurrentItem(Tree().GroupNode(1));
    Tree().DeleteSelected();
    Tree().setCurrentItem(Tree().ProjectNode());
    Tree().AddItem(ItemKind::Picture);
    EXPECT_EQ(sink_.texts.takeLast(), QStringLiteral("请先添加一个组!"));
    // The tenth group is accepted, the eleventh is not.
    for (int g = 1; g <= 10; ++g) Tree().AddGroup();
    EXPECT_EQ(Tree().ProjectNode()->childCount(), 10);
    EXPECT_TRUE(sink_.texts.isEmpty());
    Tree().AddGroup();
    EXPECT_EQ(sink_.texts.takeLast(), QStringLiteral("组数已达上限！"));
    EXPECT_EQ(doc_.ProjectFile()->GroupCount(), 10);
    // The 21st animation.
    Tree().setCurrentItem(Tree().GroupNode(1));
    for (int k = 0; k < 20; ++k) Tree().AddItem(ItemKind::Animation);
    Tree().setCurrentItem(Tree().GroupNode(1));
    Tree().AddItem(ItemKind::Animation);
    EXPECT_EQ(sink_.texts.takeLast(), QStringLiteral("单组动画最多为20幅！"));
    EXPECT_EQ(Tree().GroupNode(1)->childCount(), 20);
    // The 301st item (intervals keep the data size small).
    Tree().setCurrentItem(Tree().GroupNode(2));
    for (int k = 0; k < 300; ++k) Tree().AddItem(ItemKind::Interval);
    EXPECT_TRUE(sink_.texts.isEmpty());
    Tree().AddItem(ItemKind::Interval);
    EXPECT_EQ(sink_.texts.takeLast(), QStringLiteral("元素数已达上限！"));
    EXPECT_EQ(doc_.ProjectFile()->ItemCount(1), 300);
    // With the project node selected, items go to the last group.
    Tree().setCurrentItem(Tree().ProjectNode());
    Tree().AddItem(ItemKind::Text);
    EXPECT_EQ(Tree().GroupNode(10)->childCount(), 1);
}

TEST_F(Shell, DragAndDropMovesAndCopies) {
    Start("[TYPE]\nTYPE=1\n");
    AddPictures(1, 3);
    for (int k = 1; k <= 3; ++k)
        Tree().GroupNode(1)->child(k - 1)->setText(0, QString(QChar(u'A' + k - 1)));
    EXPECT_EQ(FileNames(1), (QStringList{"A", "B", "C"}));  // renames went to the document
    // Move A after C.
    EXPECT_TRUE(Tree().DropNode(Tree().ItemNode(1, 1), Tree().ItemNode(1, 3),
                                IsCopyDrop(Qt::ControlModifier | Qt::ShiftModifier)));
    EXPECT_EQ(Captions(Tree().GroupNode(1)), (QStringList{"B", "C", "A"}));
    EXPECT_EQ(FileNames(1), (QStringList{"B", "C", "A"}));
    // Copy B after C with exactly Ctrl; onto itself nothing happens.
    EXPECT_TRUE(Tree().DropNode(Tree().ItemNode(1, 1), Tree().ItemNode(1, 2),
                                IsCopyDrop(Qt::ControlModifier)));
    EXPECT_FALSE(Tree().DropNode(Tree().ItemNode(1, 1), Tree().ItemNode(1, 1), true));
    Tree().AddGroup();
    EXPECT_TRUE(Tree().DropNode(Tree().ItemNode(1, 2), Tree().GroupNode(2), true));
    EXPECT_EQ(FileNames(1), (QStringList{"B", "C", "B", "A"}));
    EXPECT_EQ(FileNames(2), (QStringList{"C"}));
    // Groups: move group 1 after group 2; dropping on the project node does nothing.
    EXPECT_TRUE(Tree().DropNode(Tree().GroupNode(1), Tree().GroupNode(2), false));
    EXPECT_EQ(FileNames(2), (QStringList{"B", "C", "B", "A"}));
    EXPECT_FALSE(Tree().DropNode(Tree().GroupNode(1), Tree().ProjectNode(), false));
    EXPECT_FALSE(Tree().DropNode(Tree().GroupNode(1), nullptr, false));
    EXPECT_EQ(Captions(Tree().GroupNode(2)), FileNames(2));
    EXPECT_TRUE(sink_.texts.isEmpty());
}

TEST_F(Shell, DropRefusalsChangeNothing) {
    Start("[TYPE]\nTYPE=1\n");
    Tree().AddGroup();
    Tree().setCurrentItem(Tree().GroupNode(2));
    for (int k = 0; k < 20; ++k) Tree().AddItem(ItemKind::Animation);
    AddPictures(1, 1);
    EXPECT_FALSE(Tree().DropNode(Tree().ItemNode(1, 1), Tree().GroupNode(2), false));
    EXPECT_EQ(sink_.texts.takeLast(), QStringLiteral("单组动画最多为20幅！"));
    EXPECT_EQ(Tree().GroupNode(1)->childCount(), 1);
    EXPECT_EQ(doc_.ProjectFile()->ItemCount(1), 20);
    // The animation limit also holds for reordering inside that group.
    const QTreeWidgetItem* first = Tree().ItemNode(2, 1);
    EXPECT_FALSE(Tree().DropNode(Tree().ItemNode(2, 1), Tree().ItemNode(2, 5), false));
    EXPECT_EQ(sink_.texts.takeLast(), QStringLiteral("单组动画最多为20幅！"));
    EXPECT_EQ(Tree().ItemNode(2, 1), first);
}

TEST_F(Shell, HoveringDuringADragSelectsAndExpandsTheNode) {
    Start("[TYPE]\nTYPE=1\n");
    AddPictures(1, 1);
    Tree().AddGroup();
    AddPictures(2, 2);
    QTreeWidgetItem* group2 = Tree().GroupNode(2);
    group2->setExpanded(false);
    Tree().setCurrentItem(Tree().ItemNode(1, 1));
    Tree().SetHoverInterval(5);
    Tree().HoverDuringDrag(Tree().ItemNode(1, 1), Tree().visualItemRect(group2).center());
    QTRY_COMPARE(Tree().currentItem(), group2);
    EXPECT_TRUE(group2->isExpanded());
    EXPECT_EQ(frame_->CurrentViewKind(), 3);
}

TEST_F(Shell, PasteAfterTheCopiedNodeWasDeletedDoesNothing) {
    Start("[TYPE]\nTYPE=1\n");
    AddPictures(1, 2);
    Tree().setCurrentItem(Tree().ItemNode(1, 1));
    Tree().CopySelected();
    EXPECT_EQ(Tree().CopiedNode(), Tree().ItemNode(1, 1));
    Tree().setCurrentItem(Tree().ItemNode(1, 2));
    Tree().PasteOnSelected();
    EXPECT_EQ(doc_.ProjectFile()->ItemCount(0), 3);
    Tree().setCurrentItem(Tree().ItemNode(1, 1));
    Tree().DeleteSelected();
    EXPECT_EQ(Tree().CopiedNode(), nullptr);
    Tree().setCurrentItem(Tree().ItemNode(1, 1));
    EXPECT_FALSE(Tree().CanPasteOnSelected());
    Tree().PasteOnSelected();
    EXPECT_EQ(doc_.ProjectFile()->ItemCount(0), 2);
    // Copying a group and pasting it onto a group inserts it after the target.
    Tree().setCurrentItem(Tree().GroupNode(1));
    Tree().CopySelected();
    Tree().PasteOnSelected();
    EXPECT_EQ(doc_.ProjectFile()->GroupCount(), 2);
    EXPECT_EQ(Tree().GroupNode(2)->childCount(), 2);
}

TEST_F(Shell, SendOpensTheSendWindowWhichOffersTheCompile) {
    Start("[TYPE]\nTYPE=1\n");
    ASSERT_TRUE(doc_.NeedsCompile());
    frame_->Send();  // the send window says that data.bin lags behind
    EXPECT_EQ(frame_->sendRuns, QList<bool>{false});
    EXPECT_TRUE(sink_.texts.isEmpty());
    sink_.answers = {IMessageSink::Answer::Yes};
    frame_->FactoryRestore();
    EXPECT_EQ(frame_->sendRuns.last(), true);
}

TEST_F(Shell, SelectingNodesSwitchesViewsAndTheItemList) {
    Start("[TYPE]\nTYPE=1\n");
    AddPictures(1, 3);
    Tree().setCurrentItem(Tree().ItemNode(1, 2));
    EXPECT_EQ(frame_->CurrentViewKind(), 7);
    EXPECT_EQ(frame_->ItemList()->count(), 3);
    EXPECT_EQ(frame_->ItemList()->item(2)->text(), QStringLiteral("图片_1组_3号"));
    frame_->ItemList()->FinishThumbnails();
    emit frame_->ItemList()->ItemChosen(3);
    EXPECT_EQ(Tree().currentItem(), Tree().ItemNode(1, 3));
    Tree().setCurrentItem(Tree().ProjectNode());
    EXPECT_EQ(frame_->CurrentViewKind(), 1);
    EXPECT_EQ(frame_->ItemList()->count(), 0);
    Tree().setCurrentItem(Tree().GroupNode(1));
    EXPECT_EQ(frame_->CurrentViewKind(), 3);
    frame_->Command(32860)->trigger();
    EXPECT_EQ(frame_->CurrentViewKind(), 0);
}

TEST_F(Shell, ToolbarTooltipsAreTheShortPrompts) {
    Start("[TYPE]\nTYPE=1\n");
    const QList<QPair<int, QString>> expected = {
        {32858, QStringLiteral("编译")}, {32859, QStringLiteral("发送")},
        {32871, QStringLiteral("组")},   {32872, QStringLiteral("图片")},
        {32873, QStringLiteral("动画")}, {32874, QStringLiteral("文字")},
        {32875, QStringLiteral("间隔")},
    };
    for (const auto& [id, tip] : expected) EXPECT_EQ(frame_->Command(id)->toolTip(), tip) << id;
    EXPECT_EQ(frame_->Command(32872)->statusTip(), QStringLiteral("插入图片"));
}

TEST_F(Shell, MainViewIsPlainDarkBlue) {
    Start("[TYPE]\nTYPE=1\n");
    frame_->Command(32860)->trigger();
    frame_->resize(1400, 1000);
    const QImage shot =
        frame_->CurrentView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(shot.width(), 960);  // an area larger than the frame's background picture
    ASSERT_GE(shot.height(), 600);
    int other = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) other += shot.pixel(x, y) != qRgb(8, 64, 112);
    EXPECT_EQ(other, 0);
}

TEST_F(Shell, ShowingAGroupFocusesTheItemListButLeavesTheTreeItsKeys) {
    Start("[TYPE]\nTYPE=1\n");
    AddPictures(1, 2);
    frame_->ItemList()->setFocus();
    Tree().setCurrentItem(Tree().GroupNode(1));
    EXPECT_EQ(frame_->focusWidget(), frame_->ItemList());
    EXPECT_EQ(frame_->ItemList()->currentRow(), 0);
    // Walking the tree with its keys keeps the focus there.
    Tree().setFocus();
    Tree().setCurrentItem(Tree().ProjectNode());
    Tree().setCurrentItem(Tree().GroupNode(1));
    EXPECT_EQ(frame_->focusWidget(), &Tree());
    EXPECT_EQ(frame_->ItemList()->currentRow(), 0);
}

TEST_F(Shell, DamagedIdIsReportedAndTheTreeNeitherDeletesNorCopies) {
    Start("[TYPE]\nTYPE=1\n");
    AddPictures(1, 2);
    doc_.ProjectFile()->SetAttr(0, 1, "id", QStringLiteral("../../outside/secret"));
    sink_.texts.clear();
    Tree().setCurrentItem(Tree().GroupNode(1));
    EXPECT_EQ(frame_->ItemList()->count(), 0);  // no thumbnails read through the id
    ASSERT_FALSE(sink_.texts.isEmpty());
    EXPECT_TRUE(sink_.texts.last().startsWith(QStringLiteral("项目文件有误：")))
        << sink_.texts.last().toStdString();
    Tree().setCurrentItem(Tree().ItemNode(1, 1));
    Tree().DeleteSelected();
    Tree().setCurrentItem(Tree().ItemNode(1, 2));
    Tree().CopySelected();
    Tree().PasteOnSelected();
    EXPECT_EQ(Tree().GroupNode(1)->childCount(), 2);
    EXPECT_EQ(doc_.ProjectFile()->ItemCount(0), 2);
    EXPECT_TRUE(sink_.texts.last().startsWith(QStringLiteral("项目文件有误：")));
}

TEST_F(Shell, MemoryReport) {
    Start("[TYPE]\nTYPE=1\n");
    doc_.ProjectFile()->AppendItem(0, ItemKind::Interval, QStringLiteral("x"), QStringLiteral("i"));
    doc_.ProjectFile()->SetInt(0, 0, "length", 250000 / 21);
    frame_->MemoryReport();
    EXPECT_TRUE(sink_.texts.takeLast().startsWith(
        QStringLiteral("目前占用了249984内存,占总内存数量的百分之50.0！\n（各项的列数据")));
}

TEST_F(Shell, StatusBarSaysWhenAnEditOverfillsTheBall) {
    Start("[TYPE]\nTYPE=1\n");
    AddPictures(1, 1);
    Tree().setCurrentItem(Tree().ItemNode(1, 1));
    auto* view = frame_->findChild<CViewBmp*>();
    ASSERT_NE(view, nullptr);
    auto picture = [&](int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = dir_.File(QStringLiteral("%1x%2.bmp").arg(w).arg(h));
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    };
    // 56 × 4000 / 9 = 24888 columns of 21 bytes: the edit is kept, the bar says why
    // it will not compile.
    ASSERT_TRUE(view->ChoosePicture(picture(4000, 9)));
    ASSERT_TRUE(PreviewSettled(*view));
    EXPECT_EQ(doc_.ProjectFile()->GetInt(0, 0, "length"), 24888);
    EXPECT_TRUE(frame_->statusBar()->currentMessage().contains(
        QStringLiteral("超过彩球的存储空间 500000 字节")))
        << frame_->statusBar()->currentMessage().toStdString();
    ASSERT_TRUE(view->ChoosePicture(picture(100, 100)));
    ASSERT_TRUE(PreviewSettled(*view));
    EXPECT_TRUE(frame_->statusBar()->currentMessage().isEmpty());
}

TEST_F(Shell, PaintWindowsCloseWithTheirItemAndWithTheProgram) {
    Start("[TYPE]\nTYPE=1\n");
    AddPictures(1, 2);
    auto openPaintWindow = [this] {
        for (QPushButton* button : frame_->CurrentView()->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("大")) button->click();
    };
    auto paintWindowsShown = [] {
        int shown = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<CPaintWindow*>(window) && window->isVisible()) ++shown;
        return shown;
    };
    Tree().setCurrentItem(Tree().ItemNode(1, 1));
    openPaintWindow();
    ASSERT_EQ(paintWindowsShown(), 1);
    Tree().setCurrentItem(Tree().ItemNode(1, 2));  // another item
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(paintWindowsShown(), 0);

    openPaintWindow();
    ASSERT_EQ(paintWindowsShown(), 1);
    frame_->show();
    sink_.answers = {IMessageSink::Answer::Yes};
    frame_->Command(57665)->trigger();  // 退出
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_EQ(paintWindowsShown(), 0);
}

TEST_F(Shell, HelpShowsTheGuideWithoutABrowserAndQtSpeaksChinese) {
    Start("[TYPE]\nTYPE=1\n");
    dir_.Write("bin/help/index.html", "<html><body><h1>使用指南</h1></body></html>");
    frame_->Command(32880)->trigger();
    auto* help = frame_->findChild<QTextBrowser*>(QStringLiteral("helpWindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("使用指南")));

    ASSERT_TRUE(InstallQtTranslations(*QCoreApplication::instance()));
    QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::Cancel);
    EXPECT_TRUE(buttons.button(QDialogButtonBox::Yes)->text().contains(QStringLiteral("是")));
    EXPECT_TRUE(buttons.button(QDialogButtonBox::Cancel)->text().contains(QStringLiteral("取消")));
}

TEST_F(Shell, InstalledProgramUsesTheConfigFolderAndTheSharedGuide) {
    // PREFIX/bin beside PREFIX/share/glowdeck, the settings in $XDG_CONFIG_HOME.
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir_.File("config").toUtf8());
    program_ = dir_.File("bin");
    QDir().mkpath(program_);
    QDir().mkpath(dir_.File("config/Glowdeck"));
    dir_.Write("share/glowdeck/help/index.html", "<html><body><h1>安装的指南</h1></body></html>");
    const QString ini =
        dir_.Write("config/Glowdeck/setting.ini",
                   "[PATH]\nPROJECT=" + dir_.File("projects").toUtf8() + "\n[TYPE]\nTYPE=2\n");
    frame_ = std::make_unique<TestFrame>(doc_, shell_, program_);
    EXPECT_EQ(frame_->BallType(), 2);
    EXPECT_EQ(shell_.ballAsked, 0);
    frame_->SetBallType(1);
    EXPECT_EQ(CIniFile(ini).GetInt(QStringLiteral("TYPE"), QStringLiteral("TYPE"), -1), 1);
    EXPECT_FALSE(QFileInfo::exists(program_ + QStringLiteral("/setting.ini")));

    frame_->Command(32880)->trigger();
    auto* help = frame_->findChild<QTextBrowser*>(QStringLiteral("helpWindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("安装的指南")));
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

// A hand-edited item without "length" is a damaged project: the add command
// reports it like any other damage instead of throwing out of the command.
TEST_F(Shell, AddingBesideAnItemWithoutLengthWarnsInsteadOfThrowing) {
    Start("[TYPE]\nTYPE=1\n");
    AddPictures(1, 1);
    doc_.ProjectFile()->RemoveProperty(0, 0, "length");
    sink_.texts.clear();
    Tree().setCurrentItem(Tree().GroupNode(1));
    EXPECT_NO_THROW(Tree().AddItem(ItemKind::Interval));
    EXPECT_EQ(doc_.ProjectFile()->ItemCount(0), 1);
    EXPECT_FALSE(sink_.texts.isEmpty());
}

TEST_F(Shell, CleanCommandIsEnabledWithAProjectAndRemovesWhatNoItemUses) {
    Start("[TYPE]\nTYPE=1\n", {Choice::Quit});
    EXPECT_FALSE(frame_->Command(32879)->isEnabled());  // no project yet
    Start("[TYPE]\nTYPE=1\n");
    ASSERT_TRUE(started_);
    QAction* clean = frame_->Command(32879);
    ASSERT_TRUE(clean->isEnabled());
    AddPictures(1, 1);
    const QString images = doc_.ImagesFolder();
    dir_.Write(QStringLiteral("projects/测试/Images/stray.bmp"), "1234");
    sink_.texts.clear();
    clean->trigger();
    EXPECT_EQ(sink_.texts.value(0), QStringLiteral("已清除 1 个未使用的图像文件，共 4 字节。"));
    EXPECT_EQ(QDir(images).entryList(QDir::Files).size(), 1);  // the picture's own
    clean->trigger();
    EXPECT_EQ(sink_.texts.value(1), QStringLiteral("没有需要清除的文件。"));
}
