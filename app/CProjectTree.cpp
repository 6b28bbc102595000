#include "app/CProjectTree.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>

#include "app/AppIcons.h"
#include "base/AccessError.h"
#include "base/MessageSink.h"
#include "model/CapacityChecks.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemTemplate.h"

namespace glowdeck {

namespace {
constexpr int kLeftMargin = 20;
constexpr int kDragGuardMs = 60;
constexpr int kHoverMs = 800;

int KindOfElement(const QString& elementName) {
    const auto kind = KindFromElementName(elementName);
    if (!kind) return 0;
    switch (*kind) {
        case ItemKind::Animation:
            return 5;
        case ItemKind::Picture:
            return 7;
        case ItemKind::Text:
            return 9;
        case ItemKind::Interval:
            return 11;
    }
    return 0;
}
}  // namespace

CProjectTree::CProjectTree(CGlowdeckDoc& doc, QWidget* parent) : QTreeWidget(parent), doc_(doc) {
    setObjectName(QStringLiteral("projectTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(32, 32));
    setRootIsDecorated(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    hoverTimer_.setSingleShot(true);
    hoverTimer_.setInterval(kHoverMs);
    connect(&hoverTimer_, &QTimer::timeout, this, &CProjectTree::OnHoverTimeout);
    setAutoScroll(true);
    pressed_.start();
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* now) { OnCurrentChanged(now); });
    connect(this, &QTreeWidget::itemChanged, this, &CProjectTree::OnItemChanged);
}

QTreeWidgetItem* CProjectTree::MakeNode(int viewKind, const QString& caption) {
    auto* node = new QTreeWidgetItem(QStringList{caption});
    node->setIcon(0, NodeIcon(viewKind));
    node->setData(0, KindRole, viewKind);
    node->setData(0, CaptionRole, caption);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    if (viewKind != 1) flags |= Qt::ItemIsDragEnabled;
    if (viewKind != 1) flags |= Qt::ItemIsDropEnabled;
    node->setFlags(flags);
    return node;
}

void CProjectTree::ResetTree(const QString& projectName) {
    loading_ = true;
    clear();
    copied_ = dragSource_ = hoverSource_ = nullptr;
    hoverTimer_.stop();
    root_ = MakeNode(1, projectName);
    addTopLevelItem(root_);
    current_ = root_;
    loading_ = false;
    Select(root_);
}

void CProjectTree::AddGroupNode(const QString& name, bool select) {
    if (!root_) return;
    QTreeWidgetItem* node = MakeNode(3, name);
    loading_ = true;
    root_->addChild(node);
    loading_ = false;
    if (select) Select(node);
}

void CProjectTree::AddItemNode(int group, const QString& elementName, const QString& caption) {
    const int kind = KindOfElement(elementName);
    QTreeWidgetItem* groupNode = GroupNode(group + 1);
    if (!kind || !groupNode) return;
    loading_ = true;
    groupNode->addChild(MakeNode(kind, caption));
    loading_ = false;
}

QTreeWidgetItem* CProjectTree::GroupNode(int group) const {
    if (!root_ || group < 1 || group > root_->childCount()) return nullptr;
    return root_->child(group - 1);
}

QTreeWidgetItem* CProjectTree::ItemNode(int group, int item) const {
    QTreeWidgetItem* g = GroupNode(group);
    if (!g || item < 1 || item > g->childCount()) return nullptr;
    return g->child(item - 1);
}

TreeNode CProjectTree::NodeOf(const QTreeWidgetItem* node) const {
    TreeNode n;
    if (!node || node == root_) return n;
    if (node->parent() == root_) {
        n.level = TreeNode::Group;
        n.group = root_->indexOfChild(const_cast<QTreeWidgetItem*>(node)) + 1;
        return n;
    }
    n.level = TreeNode::Item;
    n.group = root_->indexOfChild(node->parent()) + 1;
    n.item = node->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(node)) + 1;
    return n;
}

int CProjectTree::FileItem(int group, int item) const {
    if (item == 0) return 0;
    return FilePosition(*doc_.ProjectFile(), group, item);
}

int CProjectTree::TargetGroup() const {
    if (!root_) return 0;
    const TreeNode node = NodeOf(currentItem() ? currentItem() : root_);
    return node.level == TreeNode::Project ? root_->childCount() : node.group;
}

bool CProjectTree::Warn(const QString& text) {
    doc_.Messages().Warn(text);
    return false;
}

void CProjectTree::Select(QTreeWidgetItem* node) {
    if (!node) return;
    setCurrentItem(node);
    current_ = node;
}

void CProjectTree::OnCurrentChanged(QTreeWidgetItem* node) {
    if (loading_ || !node) return;
    current_ = node;
    const TreeNode n = NodeOf(node);
    emit NodeSelected(node->data(0, KindRole).toInt(), n.group, n.item);
}

void CProjectTree::AddGroup() {
    if (!root_) return;
    const QString refusal = CheckAddGroup(doc_);
    if (!refusal.isEmpty()) return void(Warn(refusal));
    const QString name = DefaultGroupName();
    if (const EditResult added = doc_.NewGroup(name); !added) return void(Warn(added.message));
    QTreeWidgetItem* node = MakeNode(3, name);
    loading_ = true;
    root_->addChild(node);
    loading_ = false;
    Select(node);
}

void CProjectTree::AddItem(ItemKind kind) {
    if (!root_) return;
    const int group = TargetGroup();
    const QString refusal = CheckAddItem(doc_, group, kind);
    if (!refusal.isEmpty()) return void(Warn(refusal));
    const QString caption = KindInfo(kind).defaultName;
    if (const EditResult added = doc_.NewItem(kind, group, caption); !added)
        return void(Warn(added.message));
    QTreeWidgetItem* groupNode = GroupNode(group);
    const int viewKind = KindOfElement(ElementName(kind));
    QTreeWidgetItem* node = MakeNode(viewKind, caption);
    loading_ = true;
    groupNode->addChild(node);
    groupNode->setExpanded(true);
    loading_ = false;
    Select(node);
}

void CProjectTree::RenameSelected() {
    if (QTreeWidgetItem* node = currentItem()) editItem(node, 0);
}

void CProjectTree::OnItemChanged(QTreeWidgetItem* node) {
    if (loading_ || !node) return;
    const QString caption = node->data(0, CaptionRole).toString();
    const QString text = node->text(0);
    if (text == caption) return;  // an unchanged text changes nothing
    const TreeNode n = NodeOf(node);
    loading_ = true;
    if (n.level == TreeNode::Project) {
        node->setText(0, caption);  // the project keeps its folder's name
    } else {
        const EditResult renamed = n.level == TreeNode::Group
                                       ? doc_.RenameGroup(n.group, text)
                                       : doc_.RenameItem(n.group, FileItem(n.group, n.item), text);
        if (renamed) {
            node->setData(0, CaptionRole, text);
        } else {
            node->setText(0, caption);  // the project keeps the old name
            Warn(renamed.message);
        }
    }
    loading_ = false;
}

void CProjectTree::Forget(QTreeWidgetItem* removed) {
    for (QTreeWidgetItem* p = copied_; p; p = p->parent())
        if (p == removed) {
            copied_ = nullptr;
            break;
        }
    if (dragSource_ == removed) dragSource_ = nullptr;
    if (hoverSource_ == removed) {
        hoverSource_ = nullptr;
        hoverTimer_.stop();
    }
}

bool CProjectTree::IdsSound() {
    try {
        doc_.CheckItemIds();
        return true;
    } catch (const AccessError& e) {
        return Warn(DamagedProjectText(e));
    }
}

void CProjectTree::DeleteSelected() {
    QTreeWidgetItem* node = currentItem();
    const TreeNode n = NodeOf(node);
    if (!node || n.level == TreeNode::Project || !IdsSound()) return;
    const EditResult deleted = n.level == TreeNode::Group
                                   ? doc_.DeleteGroup(n.group)
                                   : doc_.DeleteItem(n.group, FileItem(n.group, n.item));
    if (!deleted) return void(Warn(deleted.message));
    Forget(node);
    delete node;
}

void CProjectTree::CopySelected() {
    QTreeWidgetItem* node = currentItem();
    if (!node || node == root_) return;
    copied_ = node;
    QApplication::beep();
}

bool CProjectTree::CanPasteOnSelected() const {
    if (!copied_ || !currentItem()) return false;
    const TreeNode target = NodeOf(currentItem());
    const TreeNode source = NodeOf(copied_);
    if (source.level == TreeNode::Group) return target.level == TreeNode::Group;
    return target.level != TreeNode::Project;
}

void CProjectTree::PasteOnSelected() {
    QTreeWidgetItem* target = currentItem();
    if (!copied_ || !target || !root_) return;
    Apply(copied_, target, DecidePaste(doc_, NodeOf(copied_), NodeOf(target)));
}

bool CProjectTree::DropNode(QTreeWidgetItem* source, QTreeWidgetItem* target, bool copy) {
    if (!source || !root_) return false;
    const TreeNode to = NodeOf(target);
    return Apply(source, target, DecideDrop(doc_, NodeOf(source), target ? &to : nullptr, copy));
}

bool CProjectTree::Apply(QTreeWidgetItem* source, QTreeWidgetItem* target, const TreeEdit& edit) {
    if (!edit.refusal.isEmpty()) return Warn(edit.refusal);
    if (edit.action == TreeEdit::Nothing) return false;
    const TreeNode from = NodeOf(source);
    const bool copy = edit.action == TreeEdit::CopyGroup || edit.action == TreeEdit::CopyItem;
    if (copy && !IdsSound()) return false;

    // The project changes first; the tree follows only when it was saved.
    // File positions are taken before anything changes.
    const bool groups = edit.action == TreeEdit::MoveGroup || edit.action == TreeEdit::CopyGroup;
    const int fileSource = groups ? 0 : FileItem(from.group, from.item);
    const int fileAfter = groups ? 0 : FileItem(edit.targetGroup, edit.targetItem);
    EditResult done;
    switch (edit.action) {
        case TreeEdit::MoveGroup:
            done = doc_.MoveGroup(from.group, edit.targetGroup);
            break;
        case TreeEdit::CopyGroup:
            done = doc_.CopyGroup(from.group, edit.targetGroup);
            break;
        case TreeEdit::MoveItem:
            done = doc_.MoveItem(from.group, fileSource, edit.targetGroup, fileAfter);
            break;
        case TreeEdit::CopyItem:
            done = doc_.CopyItem(from.group, fileSource, edit.targetGroup, fileAfter);
            break;
        case TreeEdit::Nothing:
            break;
    }
    if (!done) return Warn(done.message);

    QTreeWidgetItem* targetGroupNode = GroupNode(edit.targetGroup);
    if (target) target->setExpanded(true);
    QTreeWidgetItem* moved = copy ? source->clone() : source;
    loading_ = true;
    if (!copy) {
        QTreeWidgetItem* parent = source->parent();
        parent->takeChild(parent->indexOfChild(source));
    }
    switch (edit.action) {
        case TreeEdit::MoveGroup:
        case TreeEdit::CopyGroup: {
            const int at = root_->indexOfChild(targetGroupNode) + 1;
            root_->insertChild(at, moved);
            break;
        }
        case TreeEdit::MoveItem:
        case TreeEdit::CopyItem: {
            const int at = edit.targetItem == 0 ? targetGroupNode->childCount()
                                                : targetGroupNode->indexOfChild(target) + 1;
            targetGroupNode->insertChild(at, moved);
            break;
        }
        case TreeEdit::Nothing:
            break;
    }
    loading_ = false;
    moved->setExpanded(true);
    Select(moved);
    return true;
}

void CProjectTree::SelectItemOfCurrentGroup(int index) {
    QTreeWidgetItem* from = current_ ? current_ : currentItem();
    const TreeNode n = NodeOf(from);
    if (!from || n.level == TreeNode::Project) return;
    QTreeWidgetItem* group = n.level == TreeNode::Group ? from : from->parent();
    if (index >= 1 && index <= group->childCount()) Select(group->child(index - 1));
}

void CProjectTree::mousePressEvent(QMouseEvent* event) {
    pressed_.restart();
    if (QTreeWidgetItem* hit = itemAt(event->pos())) current_ = hit;
    QTreeWidget::mousePressEvent(event);
}

void CProjectTree::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* hit = itemAt(event->pos());
    if (!hit) return;
    Select(hit);
    QMenu menu(this);
    const TreeNode n = NodeOf(hit);
    if (n.level == TreeNode::Project) {
        menu.addAction(QStringLiteral("添加组"), this, &CProjectTree::AddGroup);
    } else if (n.level == TreeNode::Group) {
        menu.addAction(QStringLiteral("添加图片"), this, [this] { AddItem(ItemKind::Picture); });
        menu.addAction(QStringLiteral("添加动画"), this, [this] { AddItem(ItemKind::Animation); });
        menu.addAction(QStringLiteral("添加文字"), this, [this] { AddItem(ItemKind::Text); });
        menu.addAction(QStringLiteral("添加间隔"), this, [this] { AddItem(ItemKind::Interval); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("重命名"), this, &CProjectTree::RenameSelected);
        menu.addAction(QStringLiteral("粘贴"), this, &CProjectTree::PasteOnSelected)
            ->setEnabled(CanPasteOnSelected());
        menu.addAction(QStringLiteral("复制"), this, &CProjectTree::CopySelected);
        menu.addAction(QStringLiteral("删除"), this, &CProjectTree::DeleteSelected);
    } else {
        menu.addAction(QStringLiteral("重命名"), this, &CProjectTree::RenameSelected);
        menu.addAction(QStringLiteral("粘贴"), this, &CProjectTree::PasteOnSelected)
            ->setEnabled(CanPasteOnSelected());
        menu.addAction(QStringLiteral("复制"), this, &CProjectTree::CopySelected);
        menu.addAction(QStringLiteral("删除"), this, &CProjectTree::DeleteSelected);
    }
    menu.exec(event->globalPos());
}

void CProjectTree::startDrag(Qt::DropActions) {
    if (pressed_.elapsed() < kDragGuardMs) return;  // a click, not a drag
    QTreeWidgetItem* source = currentItem();
    if (!source || source == root_) return;
    dragSource_ = source;
    auto* drag = new QDrag(this);
    drag->setMimeData(model()->mimeData(selectedIndexes()));
    drag->setPixmap(source->icon(0).pixmap(32, 32));
    drag->setHotSpot(QPoint(8, 8));
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    dragSource_ = hoverSource_ = nullptr;
    hoverTimer_.stop();
}

void CProjectTree::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this) event->acceptProposedAction();
}

void CProjectTree::dragMoveEvent(QDragMoveEvent* event) {
    QTreeWidget::dragMoveEvent(event);  // auto-scroll
    if (event->source() != this) return event->ignore();
    if (dragSource_) HoverDuringDrag(dragSource_, event->position().toPoint());
    event->setDropAction(IsCopyDrop(event->modifiers()) ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void CProjectTree::HoverDuringDrag(QTreeWidgetItem* source, const QPoint& pos) {
    hoverSource_ = source;
    hoverPos_ = pos;
    hoverTimer_.start();  // every move restarts it
}

void CProjectTree::OnHoverTimeout() {
    if (!hoverSource_) return;  // the drag has ended
    QTreeWidgetItem* node = itemAt(hoverPos_);
    if (!node) return;
    Select(node);
    node->setExpanded(true);
}

void CProjectTree::dropEvent(QDropEvent* event) {
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* target = pos.x() < kLeftMargin ? nullptr : itemAt(pos);
    const bool copy = IsCopyDrop(event->modifiers());
    // The tree itself never moves nodes: the drop rules do.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (event->source() == this && dragSource_) DropNode(dragSource_, target, copy);
}

}  // namespace glowdeck
