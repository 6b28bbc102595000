#include "app/CProjectTree.h"

#include "model/ItemKind.h"

namespace glowdeck {

CProjectTree::CProjectTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
}

void CProjectTree::ResetTree(const QString& projectName) {
    clear();
    root_ = new QTreeWidgetItem(this, QStringList{projectName});
    setCurrentItem(root_);
}

void CProjectTree::AddGroupNode(const QString& name, bool select) {
    if (!root_) return;
    auto* node = new QTreeWidgetItem(root_, QStringList{name});
    if (select) setCurrentItem(node);
}

void CProjectTree::AddItemNode(int group, const QString& elementName, const QString& caption) {
    if (!KindFromElementName(elementName)) return;
    if (QTreeWidgetItem* node = GroupNode(group + 1)) {
        auto* item = new QTreeWidgetItem(node, QStringList{caption});
        item->setData(0, Qt::UserRole, elementName);
    }
}

QTreeWidgetItem* CProjectTree::GroupNode(int group) const {
    if (!root_ || group < 1 || group > root_->childCount()) return nullptr;
    return root_->child(group - 1);
}

int CProjectTree::TargetGroup() const {
    if (!root_) return 0;
    QTreeWidgetItem* node = currentItem();
    if (!node || node == root_) return root_->childCount();
    if (node->parent() && node->parent() != root_) node = node->parent();
    return root_->indexOfChild(node) + 1;
}

}  // namespace glowdeck
