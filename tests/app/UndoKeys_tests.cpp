// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's undo and the project tree's keys, driven through the real
// main window: Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z, the Delete key with its
// question for a group, and arrows, Home, End, F2 and Enter in the tree.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QSlider>
#include <QTest>
#include <QToolBar>

#include "app/CItemListPane.h"
#include "app/CMainFrame.h"
#include "app/CProjectTree.h"
#include "app/ShellDialogs.h"
#include "editors/CPictureFrame.h"
#include "editors/CViewBmp.h"
#include "model/GlowdeckDoc.h"
#include "model/ProjectFile.h"
#include "support/FakeHosts.h"
#include "support/RecordingSink.h"
#include "support/StartedFrame.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;
using Answer = IMessageSink::Answer;

namespace {

class UndoKeys : public ::testing::Test, protected StartedFrame {
protected:
    UndoKeys() : StartedFrame(QStringLiteral("键")) {
        EXPECT_TRUE(started_);
        frame_->show();
        QApplication::setActiveWindow(frame_.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
        Tree().setCurrentItem(Tree().GroupNode(1));
        Tree().AddItem(ItemKind::Picture);
        Tree().AddItem(ItemKind::Text);
        Tree().setFocus();
    }
    CProjectTree& Tree() { return *frame_->Tree(); }
    // The tree's lines, as the document's outline writes them.
    QStringList Shown() {
        QStringList lines{QStringLiteral("project ") + Tree().ProjectNode()->text(0)};
        for (int g = 1; Tree().GroupNode(g); ++g) {
            lines << QStringLiteral("group ") + Tree().GroupNode(g)->text(0);
            for (int i = 1; Tree().ItemNode(g, i); ++i) {
                const int kind = Tree().ItemNode(g, i)->data(0, CProjectTree::KindRole).toInt();
                lines << QStringLiteral("item %1 %2 %3")
                             .arg(g - 1)
                             .arg(kind == 7   ? "picture"
                                  : kind == 9 ? "txtpic"
                                              : "?")
                             .arg(Tree().ItemNode(g, i)->text(0));
            }
        }
        return lines;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
};

}  // namespace

TEST_F(UndoKeys, ArrowsHomeEndF2AndEnterWorkAsInAnyTree) {
    Tree().setCurrentItem(Tree().ProjectNode());
    ASSERT_EQ(QApplication::focusWidget(), &Tree());
    // Each Down goes one node further, and the tree keeps the keys.
    const std::vector<std::pair<int, QTreeWidgetItem*>> walk = {
        {Qt::Key_Down, Tree().GroupNode(1)},   {Qt::Key_Down, Tree().ItemNode(1, 1)},
        {Qt::Key_Down, Tree().ItemNode(1, 2)}, {Qt::Key_Up, Tree().ItemNode(1, 1)},
        {Qt::Key_Home, Tree().ProjectNode()},  {Qt::Key_End, Tree().ItemNode(1, 2)},
    };
    for (const auto& [key, expected] : walk) {
        Key(key);
        EXPECT_EQ(Tree().currentItem(), expected) << key;
        EXPECT_EQ(QApplication::focusWidget(), &Tree()) << key;
    }
    EXPECT_EQ(frame_->CurrentViewKind(), 9);  // the view follows the keys
    Key(Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);  // the caption's editor is open
    EXPECT_TRUE(Tree().isAncestorOf(editor));
    Key(Qt::Key_Escape);
    Tree().setFocus();
    Tree().setCurrentItem(Tree().GroupNode(1));
    Key(Qt::Key_Return);  // a group's Enter goes to its pictures
    EXPECT_EQ(QApplication::focusWidget(), frame_->ItemList());
}

TEST_F(UndoKeys, DeleteKeyAsksForAGroupAndCtrlZBringsBack) {
    const QStringList full = Shown();
    EXPECT_EQ(full, Outline(doc_));
    EXPECT_EQ(frame_->Command(57643)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QList<QAction*> onToolbar;
    for (QToolBar* bar : frame_->findChildren<QToolBar*>()) onToolbar += bar->actions();
    EXPECT_TRUE(onToolbar.contains(frame_->Command(57643)));
    EXPECT_TRUE(onToolbar.contains(frame_->Command(57644)));

    Tree().setCurrentItem(Tree().ItemNode(1, 1));
    Key(Qt::Key_Delete);  // an item goes without a question
    EXPECT_TRUE(sink_.texts.isEmpty());
    const QStringList withoutPicture = Outline(doc_);
    EXPECT_EQ(withoutPicture.size(), full.size() - 1);
    EXPECT_EQ(Shown(), withoutPicture);

    Tree().setCurrentItem(Tree().GroupNode(1));
    sink_.answers = {Answer::No};
    Key(Qt::Key_Delete);
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_EQ(sink_.texts[0], QStringLiteral("确定删除组“新建组”及其全部内容？"));
    EXPECT_EQ(Shown(), withoutPicture);
    sink_.answers = {Answer::Yes};
    Key(Qt::Key_Delete);
    EXPECT_EQ(doc_.ProjectFile()->GroupCount(), 0);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("project 键")});
    // The tips name the step; the menu item keeps its words.
    EXPECT_EQ(frame_->Command(57643)->toolTip(), QStringLiteral("撤销 删除“新建组”"));
    EXPECT_EQ(frame_->Command(57643)->statusTip(), QStringLiteral("撤销 删除“新建组”"));
    EXPECT_EQ(frame_->Command(57643)->text(), QStringLiteral("撤销(&U)"));
    EXPECT_EQ(frame_->Command(57644)->toolTip(), QStringLiteral("重复"));

    // Each undo puts one step back, in the project and in the tree.
    const std::vector<std::pair<QKeySequence, QStringList>> steps = {
        {QKeySequence(Qt::CTRL | Qt::Key_Z), withoutPicture},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), full},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), withoutPicture},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), full},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), withoutPicture},
    };
    for (const auto& [keys, expected] : steps) {
        const QKeyCombination combination = keys[0];
        QTest::keyClick(frame_.get(), combination.key(), combination.keyboardModifiers());
        EXPECT_EQ(Outline(doc_), expected) << keys.toString().toStdString();
        EXPECT_EQ(Shown(), expected) << keys.toString().toStdString();
    }
    EXPECT_EQ(frame_->Command(57644)->toolTip(), QStringLiteral("重复 删除“新建组”"));
    EXPECT_EQ(sink_.texts.size(), 2);  // the two questions, nothing else
}

// The paint window is a window of its own, out of reach of the main window's
// commands: its keys step through the canvas's strokes, and never the
// project's. In the main window a paint frame takes the keys only while it
// has strokes to step through; then the project's steps follow.
TEST_F(UndoKeys, PaintWindowKeysStepThroughItsStrokesAndThenTheProjectsStepsFollow) {
    Tree().setCurrentItem(Tree().ItemNode(1, 1));
    auto* view = qobject_cast<CViewBmp*>(frame_->CurrentView());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->Conversions() > 0; }, 20000));
    QPointer<CPictureFrame> led;
    for (CPictureFrame* f : view->findChildren<CPictureFrame*>())
        if (f->Title() == QStringLiteral("LED")) led = f;
    ASSERT_NE(led, nullptr);
    led->SetTool(PaintTool::RoundPen);
    led->SetPenColour(0x0000FF);
    led->OpenPaintWindow();
    CPaintWindow* window = led->PaintWindow();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const QPoint spots[] = {{3, 5}, {30, 20}};
    const QRgb before = led->CurrentImage().pixel(spots[1]);
    for (const QPoint spot : spots) {
        const QPoint at = (window->ViewportPoint(spot) + QPointF(1, 1)).toPoint();
        QTest::mousePress(window->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(window->viewport(), Qt::LeftButton, {}, at);
    }
    ASSERT_EQ(led->CurrentImage().pixel(spots[1]), qRgb(255, 0, 0));
    const QByteArray project = ReadAll(doc_.ProjectFilePath());
    const int steps = doc_.UndoStack().index();

    // Keys, and the strokes left on the canvas after each.
    const QKeyCombination undo(Qt::CTRL | Qt::Key_Z), redo(Qt::CTRL | Qt::Key_Y),
        redoShift(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    const std::vector<std::pair<QKeyCombination, size_t>> inWindow = {
        {undo, 1}, {redoShift, 2}, {undo, 1}, {undo, 0}, {undo, 0}, {redo, 1}};
    for (const auto& [keys, strokes] : inWindow) {
        QTest::keyClick(window, keys.key(), keys.keyboardModifiers());
        const std::string what = QKeySequence(keys).toString().toStdString();
        ASSERT_EQ(led->Canvas().UndoDepth(), strokes + 1) << what;
        EXPECT_EQ(led->CurrentImage().pixel(spots[1]), strokes == 2 ? qRgb(255, 0, 0) : before)
            << what;
        EXPECT_EQ(doc_.UndoStack().index(), steps) << what;
        EXPECT_EQ(ReadAll(doc_.ProjectFilePath()), project) << what;
    }

    // The frame in the main window: its last stroke, then the project's step.
    QApplication::setActiveWindow(frame_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    led->setFocus();
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_FALSE(led.isNull());
    EXPECT_EQ(led->Canvas().UndoDepth(), 1u);
    EXPECT_EQ(doc_.UndoStack().index(), steps);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc_.UndoStack().index(), steps - 1);
    EXPECT_NE(ReadAll(doc_.ProjectFilePath()), project);
}

// A setting still waiting for its quiet time when Ctrl+Z is pressed is the
// last edit: it is stored as a step and that step is taken back (the step
// before it stays), and Ctrl+Y makes it again.
TEST_F(UndoKeys, ASettingNotYetStoredIsTheStepCtrlZTakesBack) {
    Tree().AddItem(ItemKind::Animation);
    Tree().AddItem(ItemKind::Interval);
    struct Row {
        const char* what;
        int item;  // in group 1
        const char* control;
        int value;  // for a slider; a check box is clicked
    };
    const Row rows[] = {
        {"picture colour", 1, "colour1", 33},    {"picture dither", 1, "dither", 0},
        {"animation colour", 3, "slider2", 200}, {"animation dither", 3, "dither", 0},
        {"interval length", 4, "length", 40},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Tree().setCurrentItem(Tree().ItemNode(1, row.item));
        const QByteArray before = ReadAll(doc_.ProjectFilePath());
        const int steps = doc_.UndoStack().index();
        auto control = [&] {
            return frame_->CurrentView()->findChild<QWidget*>(QString::fromLatin1(row.control));
        };
        auto shown = [&] {
            if (auto* slider = qobject_cast<QSlider*>(control())) return slider->value();
            return int(qobject_cast<QAbstractButton*>(control())->isChecked());
        };
        const int old = shown();
        if (auto* slider = qobject_cast<QSlider*>(control()))
            slider->setValue(row.value);
        else
            qobject_cast<QAbstractButton*>(control())->click();
        const int changed = shown();
        ASSERT_NE(changed, old);
        Tree().setFocus();
        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(ReadAll(doc_.ProjectFilePath()), before);
        EXPECT_EQ(doc_.UndoStack().index(), steps);
        EXPECT_EQ(shown(), old);
        Key(Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(doc_.UndoStack().index(), steps + 1);
        EXPECT_EQ(shown(), changed);
    }
    EXPECT_TRUE(sink_.texts.isEmpty()) << sink_.texts.join('\n').toStdString();
}
