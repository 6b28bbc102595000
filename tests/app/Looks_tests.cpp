// SPDX-License-Identifier: GPL-3.0-or-later
// Every application look is readable: captions of the project tree, the item
// list and the menus stand out from their background (WCAG contrast ratio of
// at least 4.5:1), selected ones too, and a disabled menu command is drawn
// visibly different from an enabled one. Measured on offscreen renders.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <cmath>

#include "app/AppLooks.h"
#include "app/CItemListPane.h"
#include "app/CMainFrame.h"
#include "app/CProjectTree.h"
#include "app/ShellDialogs.h"
#include "model/GlowdeckDoc.h"
#include "support/FakeHosts.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

double Luminance(QRgb c) {
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A caption as drawn: the background is the median colour of the area (by
// luminance: selections may be drawn as gradients), the text the colour that
// stands out most from it (the full-ink pixels of the glyphs; anti-aliased
// edges lie between the two).
struct Caption {
    QRgb background = 0;
    QRgb text = 0;
    double contrast = 1;
    std::string Describe() const {
        return QStringLiteral("text #%1 on #%2, contrast %3")
            .arg(text & 0xFFFFFF, 6, 16, QLatin1Char('0'))
            .arg(background & 0xFFFFFF, 6, 16, QLatin1Char('0'))
            .arg(contrast, 0, 'f', 2)
            .toStdString();
    }
};

Caption Measure(const QImage& shot, const QRect& area) {
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    const QRect r = area.intersected(image.rect());
    QHash<QRgb, int> counts;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) ++counts[image.pixel(x, y) | 0xFF000000];
    Caption c;
    QList<QRgb> pixels;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        for (int k = 0; k < it.value(); ++k) pixels << it.key();
    if (pixels.isEmpty()) return c;
    std::sort(pixels.begin(), pixels.end(),
              [](QRgb a, QRgb b) { return Luminance(a) < Luminance(b); });
    c.background = pixels[pixels.size() / 2];
    for (auto it = counts.begin(); it != counts.end(); ++it)
        if (Contrast(it.key(), c.background) > c.contrast)
            c.contrast = Contrast(it.key(), c.background), c.text = it.key();
    return c;
}

class Shell : public IShellDialogs {
public:
    int AskBallType() override { return 1; }
    int AskLayer() override { return 0; }
};

class Looks : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        const QString program = dir_.File(QStringLiteral("bin"));
        QDir().mkpath(program);
        dir_.Write(QStringLiteral("bin/setting.ini"),
                   "[TYPE]\nTYPE=1\n[PATH]\nPROJECT=" +
                       dir_.File(QStringLiteral("projects")).toUtf8() + "\n");
        doc_ = std::make_unique<CGlowdeckDoc>(sink_);
        frame_ = std::make_unique<CMainFrame>(*doc_, shell_, program);
        frame_->SetProjectDialogs(&dialogs_);
        dialogs_.starts = {IProjectDialogs::StartChoice::NewProject};
        dialogs_.names = {QStringLiteral("外观测试")};
        ASSERT_TRUE(frame_->Start());
        CProjectTree& tree = *frame_->Tree();
        tree.setCurrentItem(tree.GroupNode(1));
        for (int k = 0; k < 3; ++k) tree.AddItem(ItemKind::Picture);
        tree.setCurrentItem(tree.ItemNode(1, 2));
        frame_->ItemList()->FinishThumbnails();
        frame_->ItemList()->setCurrentRow(1);
        frame_->resize(1000, 700);
        frame_->show();
        ApplyLook(GetParam());
        QApplication::processEvents();
    }
    void TearDown() override {
        ApplyLook(DefaultLook);
        if (frame_) frame_->hide();
    }

    // The caption part of a tree row: right of the node's icon.
    Caption TreeCaption(QTreeWidgetItem* node) {
        CProjectTree& tree = *frame_->Tree();
        const QImage shot = tree.viewport()->grab().toImage();
        QRect row = tree.visualItemRect(node);
        const QFontMetrics metrics(tree.font());
        const int left = row.left() + tree.iconSize().width() + 4;
        const QRect text(left, row.top() + 1, metrics.horizontalAdvance(node->text(0)) + 2,
                         row.height() - 2);
        return Measure(shot, text);
    }
    // The caption of a list entry: what is drawn below its thumbnail (the
    // text, or the selection behind it), found against the pane's background.
    Caption ListCaption(int row) {
        CItemListPane& list = *frame_->ItemList();
        const QImage shot = list.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect cell = list.visualItemRect(list.item(row));
        const QRgb pane = shot.pixel(cell.right(), cell.bottom());
        QRect drawn;
        for (int y = cell.top() + list.iconSize().height() + 4;
             y <= std::min(cell.bottom(), shot.height() - 1); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (shot.pixel(x, y) != pane) drawn |= QRect(x, y, 1, 1);
        EXPECT_LT(drawn.bottom(), shot.height() - 1) << "the caption is cut off at the pane's edge";
        return Measure(shot, drawn.adjusted(-1, -1, 1, 1));
    }

    TempDir dir_;
    RecordingSink sink_;
    Shell shell_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<CGlowdeckDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace

TEST_P(Looks, TreeCaptionsAreReadable) {
    CProjectTree& tree = *frame_->Tree();
    ASSERT_TRUE(tree.ItemNode(1, 2)->isSelected());
    const Caption plain = TreeCaption(tree.ItemNode(1, 1));
    EXPECT_GE(plain.contrast, 4.5) << plain.Describe();
    const Caption group = TreeCaption(tree.GroupNode(1));
    EXPECT_GE(group.contrast, 4.5) << group.Describe();
    const Caption selected = TreeCaption(tree.ItemNode(1, 2));
    EXPECT_GE(selected.contrast, 4.5) << selected.Describe();
    EXPECT_NE(selected.background, plain.background);  // the selection shows
}

TEST_P(Looks, ListCaptionsAreReadable) {
    CItemListPane& list = *frame_->ItemList();
    ASSERT_EQ(list.count(), 3);
    ASSERT_TRUE(list.item(1)->isSelected());
    const Caption plain = ListCaption(0);
    EXPECT_GE(plain.contrast, 4.5) << plain.Describe();
    const Caption selected = ListCaption(1);
    EXPECT_GE(selected.contrast, 4.5) << selected.Describe();
    EXPECT_NE(selected.background, plain.background);
}

TEST_P(Looks, MenuCommandsAreReadableAndDisabledOnesLookDisabled) {
    QAction* enabled = frame_->Command(32876);  // 计算长度
    // Any command shown disabled will do: 清除临时文件, as without a project.
    QAction* disabled = frame_->Command(32879);
    disabled->setEnabled(false);
    QMenu* menu = nullptr;
    for (QAction* top : frame_->menuBar()->actions())
        if (top->menu() && top->menu()->actions().contains(disabled)) menu = top->menu();
    ASSERT_NE(menu, nullptr);
    menu->popup(QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    auto item = [&](QAction* action) {
        const QRect r = menu->actionGeometry(action);
        return Measure(menu->grab().toImage(), r.adjusted(r.height(), 2, -2, -2));
    };
    const Caption plain = item(enabled);
    EXPECT_GE(plain.contrast, 4.5) << plain.Describe();
    const Caption grey = item(disabled);
    // Disabled: same background, text clearly not the enabled text colour.
    EXPECT_EQ(grey.background, plain.background);
    EXPECT_GE(Contrast(grey.text, plain.text), 1.5)
        << "enabled " << plain.Describe() << "; disabled " << grey.Describe();
    EXPECT_LT(grey.contrast, plain.contrast) << grey.Describe();

    menu->setActiveAction(enabled);
    const Caption active = item(enabled);
    EXPECT_GE(active.contrast, 4.5) << active.Describe();
    EXPECT_NE(active.background, plain.background);
    menu->hide();
}

INSTANTIATE_TEST_SUITE_P(AllLooks, Looks,
                         ::testing::Values(32833, 32834, 32835, 32837, 32836, 32838),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param);
                         });
