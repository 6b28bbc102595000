// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CProjectTree.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "app/AppIcons.h"
#include "base/AccessError.h"
#include "base/MessageSink.h"
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
    connect(this, &QTreeWidget::itemChanged, this, &CProjectTree::OnCaptionEdited);
    connect(&doc_, &CGlowdeckDoc::projectOpened, this, &CProjectTree::OnProjectOpened);
    connect(&doc_, &CGlowdeckDoc::groupsChanged, this, &CProjectTree::Rebuild);
    connect(&doc_, &CGlowdeckDoc::itemAdded, this, &CProjectTree::OnItemAdded);
    connect(&doc_, &CGlowdeckDoc::itemRemoved, this, &CProjectTree::OnItemRemoved);
    connect(&doc_, &CGlowdeckDoc::itemChanged, this, &CProjectTree::OnItemChanged);
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

QString CProjectTree::CaptionOf(int g, int i) const {
    try {
        return doc_.ProjectFile()->GetAttr(g, i, "name");
    } catch (const AccessError&) {
        return QString();  // a hand-edited item without a name still gets its node
    }
}

void CProjectTree::RefreshCaptions() {
    const CProjectFile* file = doc_.ProjectFile();
    loading_ = true;
    for (int g = 1; file && GroupNode(g) && g <= file->GroupCount(); ++g) {
        QTreeWidgetItem* group = GroupNode(g);
        group->setText(0, file->GroupName(g - 1));
        group->setData(0, CaptionRole, file->GroupName(g - 1));
        for (int k = 0; k < group->childCount(); ++k) {
            QTreeWidgetItem* item = group->child(k);
            const QString caption = CaptionOf(g - 1, item->data(0, FileRole).toInt());
            item->setText(0, caption);
            item->setData(0, CaptionRole, caption);
        }
    }
    loading_ = false;
}

void CProjectTree::Rebuild() {
    // A rename changes captions only, and the node being edited must stay.
    if (renaming_) return RefreshCaptions();
    const CProjectFile* file = doc_.ProjectFile();
    const TreeNode was = NodeOf(currentItem());
    const int wasKind = currentItem() ? currentItem()->data(0, KindRole).toInt() : 0;
    const QString copiedSignature = Signature(copied_);
    const TreeNode copiedAt = NodeOf(copied_);
    std::vector<bool> expanded;
    for (int g = 1; GroupNode(g); ++g) expanded.push_back(GroupNode(g)->isExpanded());

    loading_ = true;
    clear();
    root_ = copied_ = dragSource_ = hoverSource_ = nullptr;
    hoverTimer_.stop();
    if (!file) {
        current_ = nullptr;
        loading_ = false;
        return;
    }
    root_ = MakeNode(1, doc_.Title());
    addTopLevelItem(root_);
    for (int g = 0; g < file->GroupCount(); ++g) {
        QTreeWidgetItem* group = MakeNode(3, file->GroupName(g));
        root_->addChild(group);
        for (int i = 0; i < file->ItemCount(g); ++i) {
            const int kind = KindOfElement(file->ItemKindOf(g, i));
            if (!kind) continue;
            QTreeWidgetItem* item = MakeNode(kind, CaptionOf(g, i));
            item->setData(0, FileRole, i);
            group->addChild(item);
        }
        group->setExpanded(static_cast<size_t>(g) >= expanded.size() || expanded[g]);
    }
    root_->setExpanded(true);

    // The copied node: where it was, else the first node that is the same.
    if (!copiedSignature.isEmpty()) {
        QTreeWidgetItem* same = copiedAt.level == TreeNode::Group
                                    ? GroupNode(copiedAt.group)
                                    : ItemNode(copiedAt.group, copiedAt.item);
        if (Signature(same) != copiedSignature) same = nullptr;
        for (int g = 1; !same && GroupNode(g); ++g) {
            if (copiedAt.level == TreeNode::Group) {
                if (Signature(GroupNode(g)) == copiedSignature) same = GroupNode(g);
                continue;
            }
            for (int i = 1; !same && ItemNode(g, i); ++i)
                if (Signature(ItemNode(g, i)) == copiedSignature) same = ItemNode(g, i);
        }
        copied_ = same;
    }

    // The selection stays at its place, or the nearest node above it.
    QTreeWidgetItem* now = root_;
    if (was.level != TreeNode::Project) {
        const int groups = root_->childCount();
        if (groups > 0) {
            QTreeWidgetItem* group = GroupNode(std::min(was.group, groups));
            now = group;
            if (was.level == TreeNode::Item && was.group <= groups && group->childCount() > 0)
                now = group->child(std::min(was.item, group->childCount()) - 1);
        }
    }
    setCurrentItem(now);
    current_ = now;
    loading_ = false;
    if (NodeOf(now).level != was.level || NodeOf(now).group != was.group ||
        NodeOf(now).item != was.item || now->data(0, KindRole).toInt() != wasKind)
        OnCurrentChanged(now);
}

QString CProjectTree::Signature(const QTreeWidgetItem* node) const {
    if (!node || node == root_) return QString();
    const TreeNode n = NodeOf(node);
    if (n.level == TreeNode::Group)
        return QStringLiteral("group/%1/%2").arg(node->text(0)).arg(node->childCount());
    QString id;
    try {
        id = doc_.ProjectFile()->GetAttr(n.group - 1, node->data(0, FileRole).toInt(), "id");
    } catch (const AccessError&) {
    }
    return QStringLiteral("item/%1/%2/%3")
        .arg(node->data(0, KindRole).toInt())
        .arg(node->text(0), id);
}

void CProjectTree::OnProjectOpened() {
    // Nothing of the last project stays: not its selection, nor its copy.
    clear();
    root_ = copied_ = current_ = nullptr;
    Rebuild();
    expandAll();
    Select(root_);
}

QTreeWidgetItem* CProjectTree::NodeOfFileItem(int g, int i) const {
    QTreeWidgetItem* group = GroupNode(g + 1);
    for (int k = 0; group && k < group->childCount(); ++k)
        if (group->child(k)->data(0, FileRole).toInt() == i) return group->child(k);
    return nullptr;
}

void CProjectTree::OnItemAdded(int g, int i) {
    QTreeWidgetItem* group = GroupNode(g + 1);
    const CProjectFile* file = doc_.ProjectFile();
    if (!group || !file) return Rebuild();
    const int kind = KindOfElement(file->ItemKindOf(g, i));
    if (!kind) return;
    QTreeWidgetItem* node = MakeNode(kind, CaptionOf(g, i));
    node->setData(0, FileRole, i);
    // Items are appended: the node goes after every shown item before it.
    int at = 0;
    while (at < group->childCount() && group->child(at)->data(0, FileRole).toInt() < i) ++at;
    loading_ = true;
    group->insertChild(at, node);
    group->setExpanded(true);
    loading_ = false;
}

void CProjectTree::OnItemRemoved(int g, int i) {
    QTreeWidgetItem* group = GroupNode(g + 1);
    if (!group) return Rebuild();
    QTreeWidgetItem* node = NodeOfFileItem(g, i);
    for (int k = 0; k < group->childCount(); ++k) {
        QTreeWidgetItem* other = group->child(k);
        const int position = other->data(0, FileRole).toInt();
        if (position > i) other->setData(0, FileRole, position - 1);
    }
    if (!node) return;
    Forget(node);
    const bool wasCurrent = node == currentItem();
    loading_ = true;
    delete node;
    loading_ = false;
    current_ = currentItem();
    // The selection moves on as the tree widget chose; its view follows.
    if (wasCurrent && currentItem()) OnCurrentChanged(currentItem());
}

void CProjectTree::OnItemChanged(int g, int i) {
    QTreeWidgetItem* node = NodeOfFileItem(g, i);
    if (!node) return;
    const QString caption = CaptionOf(g, i);
    if (node->data(0, CaptionRole).toString() == caption && node->text(0) == caption) return;
    loading_ = true;
    node->setText(0, caption);
    node->setData(0, CaptionRole, caption);
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
    // The document refuses an add past the limits itself.
    if (const EditResult added = doc_.NewGroup(DefaultGroupName()); !added)
        return void(Warn(added.message));
    Select(GroupNode(root_->childCount()));
}

void CProjectTree::AddItem(ItemKind kind) {
    if (!root_) return;
    const int group = TargetGroup();
    if (const EditResult added = doc_.NewItem(kind, group, KindInfo(kind).defaultName); !added)
        return void(Warn(added.message));
    if (QTreeWidgetItem* groupNode = GroupNode(group))
        Select(groupNode->child(groupNode->childCount() - 1));
}

void CProjectTree::RenameSelected() {
    if (QTreeWidgetItem* node = currentItem()) editItem(node, 0);
}

void CProjectTree::OnCaptionEdited(QTreeWidgetItem* node) {
    if (loading_ || !node) return;
    const QString caption = node->data(0, CaptionRole).toString();
    const QString text = node->text(0);
    if (text == caption) return;  // an unchanged text changes nothing
    const TreeNode n = NodeOf(node);
    // The edited node is in the middle of its own change: it is given its
    // caption back here, and the document's announcement names it anew.
    loading_ = true;
    node->setText(0, caption);
    loading_ = false;
    if (n.level == TreeNode::Project) return;  // the project keeps its folder's name
    renaming_ = true;
    const EditResult renamed = n.level == TreeNode::Group
                                   ? doc_.RenameGroup(n.group, text)
                                   : doc_.RenameItem(n.group, FileItem(n.group, n.item), text);
    renaming_ = false;
    if (!renamed) Warn(renamed.message);  // the project keeps the old name
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
    // A deleted copied node, or one inside a deleted group, is no longer there to paste.
    Forget(node);
    const EditResult deleted = n.level == TreeNode::Group
                                   ? doc_.DeleteGroup(n.group)
                                   : doc_.DeleteItem(n.group, FileItem(n.group, n.item));
    if (!deleted) return void(Warn(deleted.message));
}

void CProjectTree::DeleteSelectedAsking() {
    QTreeWidgetItem* node = currentItem();
    const TreeNode n = NodeOf(node);
    if (!node || n.level == TreeNode::Project) return;
    if (n.level == TreeNode::Group &&
        doc_.Messages().Show(tr("确定删除组“%1”及其全部内容？").arg(node->text(0)),
                             IMessageSink::Caption(), IMessageSink::Icon::Question,
                             IMessageSink::Buttons::YesNo) != IMessageSink::Answer::Yes)
        return;
    DeleteSelected();
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
    Apply(copied_, DecidePaste(doc_, NodeOf(copied_), NodeOf(target)));
}

bool CProjectTree::DropNode(QTreeWidgetItem* source, QTreeWidgetItem* target, bool copy) {
    if (!source || !root_) return false;
    const TreeNode to = NodeOf(target);
    return Apply(source, DecideDrop(doc_, NodeOf(source), target ? &to : nullptr, copy));
}

bool CProjectTree::Apply(QTreeWidgetItem* source, const TreeEdit& edit) {
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

    // The nodes have been made again from the project: select the node
    // moved or copied, in its new place.
    QTreeWidgetItem* placed = nullptr;
    if (groups) {
        const int at =
            copy || from.group > edit.targetGroup ? edit.targetGroup + 1 : edit.targetGroup;
        placed = GroupNode(at);
    } else if (QTreeWidgetItem* group = GroupNode(edit.targetGroup)) {
        int at = edit.targetItem == 0 ? group->childCount() : edit.targetItem + 1;
        if (!copy && edit.targetItem != 0 && from.group == edit.targetGroup &&
            from.item < edit.targetItem)
            --at;
        if (at >= 1 && at <= group->childCount()) placed = group->child(at - 1);
        group->setExpanded(true);
    }
    if (!placed) return true;
    placed->setExpanded(true);
    Select(placed);
    return true;
}

void CProjectTree::SelectItemOfCurrentGroup(int index) {
    QTreeWidgetItem* from = current_ ? current_ : currentItem();
    const TreeNode n = NodeOf(from);
    if (!from || n.level == TreeNode::Project) return;
    QTreeWidgetItem* group = n.level == TreeNode::Group ? from : from->parent();
    if (index >= 1 && index <= group->childCount()) Select(group->child(index - 1));
}

void CProjectTree::keyPressEvent(QKeyEvent* event) {
    // While a caption is being edited its editor has the keys.
    if (state() == QAbstractItemView::EditingState || event->modifiers() & ~Qt::KeypadModifier)
        return QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* node = currentItem();
    switch (event->key()) {
        case Qt::Key_Delete:
            return DeleteSelectedAsking();
        case Qt::Key_F2:
            return RenameSelected();
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!node) return;
            if (node == root_) return node->setExpanded(!node->isExpanded());
            emit NodeActivated(node->data(0, KindRole).toInt(), NodeOf(node).group,
                               NodeOf(node).item);
            return;
        default:
            // Arrows, Home, End, Page Up and Down walk the tree as usual.
            return QTreeWidget::keyPressEvent(event);
    }
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
        menu.addAction(tr("添加组"), this, &CProjectTree::AddGroup);
    } else if (n.level == TreeNode::Group) {
        menu.addAction(tr("添加图片"), this, [this] { AddItem(ItemKind::Picture); });
        menu.addAction(tr("添加动画"), this, [this] { AddItem(ItemKind::Animation); });
        menu.addAction(tr("添加文字"), this, [this] { AddItem(ItemKind::Text); });
        menu.addAction(tr("添加间隔"), this, [this] { AddItem(ItemKind::Interval); });
        menu.addSeparator();
        menu.addAction(tr("重命名"), this, &CProjectTree::RenameSelected);
        menu.addAction(tr("粘贴"), this, &CProjectTree::PasteOnSelected)
            ->setEnabled(CanPasteOnSelected());
        menu.addAction(tr("复制"), this, &CProjectTree::CopySelected);
        menu.addAction(tr("删除"), this, &CProjectTree::DeleteSelected);
    } else {
        menu.addAction(tr("重命名"), this, &CProjectTree::RenameSelected);
        menu.addAction(tr("粘贴"), this, &CProjectTree::PasteOnSelected)
            ->setEnabled(CanPasteOnSelected());
        menu.addAction(tr("复制"), this, &CProjectTree::CopySelected);
        menu.addAction(tr("删除"), this, &CProjectTree::DeleteSelected);
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
