#include "app/CMainFrame.h"

#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include "app/CProjectTree.h"
#include "model/CapacityChecks.h"
#include "model/GlowdeckDoc.h"
#include "model/MessageSink.h"
#include "model/ProjectFile.h"

namespace glowdeck {

CMainFrame::CMainFrame(CGlowdeckDoc& doc) : doc_(doc) {
    auto* dock = new QDockWidget(QStringLiteral("项目"), this);
    dock->setObjectName(QStringLiteral("projectPane"));
    tree_ = new CProjectTree(dock);
    dock->setWidget(tree_);
    dock->setMinimumWidth(200);
    addDockWidget(Qt::LeftDockWidgetArea, dock);

    view_ = new QLabel(this);
    view_->setAlignment(Qt::AlignCenter);
    setCentralWidget(view_);

    pathPane_ = new QLabel(this);
    statusBar()->addPermanentWidget(pathPane_);
    BuildMenus();
    resize(1100, 700);
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(QStringLiteral("新建(&N)"), QKeySequence::New, this, [this] { doc_.CreateProject(); });
    file->addAction(QStringLiteral("打开(&O)..."), QKeySequence::Open, this, [this] { doc_.OpenProject(); });
    file->addAction(QStringLiteral("保存(&S)"), QKeySequence::Save, this, [this] { doc_.SaveProject(); });
    file->addSeparator();
    file->addAction(QStringLiteral("退出(&X)"), this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    edit->addAction(QStringLiteral("添加组"), this, [this] { AddGroup(); });
    edit->addAction(QStringLiteral("添加图片"), this, [this] { AddItem(ItemKind::Picture); });
    edit->addAction(QStringLiteral("添加动画"), this, [this] { AddItem(ItemKind::Animation); });
    edit->addAction(QStringLiteral("添加文字"), this, [this] { AddItem(ItemKind::Text); });
    edit->addAction(QStringLiteral("添加间隔"), this, [this] { AddItem(ItemKind::Interval); });
}

void CMainFrame::AddGroup() {
    const QString refusal = CheckAddGroup(doc_);
    if (!refusal.isEmpty()) {
        doc_.Messages().Warn(refusal);
        return;
    }
    const QString name = QStringLiteral("新建组");
    tree_->AddGroupNode(name, true);
    doc_.NewGroup(name);
}

void CMainFrame::AddItem(ItemKind kind) {
    const int group = tree_->TargetGroup();
    const QString refusal = CheckAddItem(doc_, group, kind);
    if (!refusal.isEmpty()) {
        doc_.Messages().Warn(refusal);
        return;
    }
    const QString caption = KindInfo(kind).defaultName;
    tree_->AddItemNode(group - 1, ElementName(kind), caption);
    if (QTreeWidgetItem* node = tree_->GroupNode(group)) node->setExpanded(true);
    doc_.NewItem(kind, group, caption);
}

void CMainFrame::ShowView(int viewKind) {
    if (viewKind == 0) view_->setText(QStringLiteral("Glowdeck"));
}

void CMainFrame::SetStatusPane(int, const QString& text, int width) {
    pathPane_->setText(text);
    pathPane_->setMinimumWidth(width);
}

void CMainFrame::SetTitle(const QString& title) {
    setWindowTitle(QStringLiteral("%1 - Glowdeck").arg(title));
}

}  // namespace glowdeck
