// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's undo and the project tree's keys, driven through the real
// main window: Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z, the Delete key with its
// question for a group, and arrows, Home, End, F2 and Enter in the tree.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>

#include "app/CItemListPane.h"
#include "app/CMainFrame.h"
#include "app/CProjectTree.h"
#include "app/ShellDialogs.h"
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
    EXPECT_EQ(sink_.texts.size(), 2);  // the two questions, nothing else
}
