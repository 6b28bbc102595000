#pragma once
#include <QTreeWidget>

#include "model/ProjectTreeView.h"

namespace glowdeck {

// The project tree: the project node, its groups and their items.
class CProjectTree : public QTreeWidget, public IProjectTreeView
{
    Q_OBJECT
public:
    explicit CProjectTree(QWidget* parent = nullptr);

    void ResetTree(const QString& projectName) override;
    void AddGroupNode(const QString& name, bool select) override;
    void AddItemNode(int group, const QString& elementName, const QString& caption) override;
    void ExpandAll() override { expandAll(); }

    // 1-based group of the selected node: the group itself, an item's group,
    // or the last group for the project node; 0 when there is none.
    int TargetGroup() const;
    QTreeWidgetItem* GroupNode(int group) const;  // 1-based

private:
    QTreeWidgetItem* root_ = nullptr;
};

}  // namespace glowdeck
