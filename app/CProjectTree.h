// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

#include "model/ItemKind.h"
#include "model/TreeRules.h"

namespace glowdeck {

class CGlowdeckDoc;

// The project tree: a view of the document's project, groups and items.
// Its nodes are made from the document whenever the document announces a
// change; every edit command checks the limits and calls exactly one
// document operation, and the nodes follow from the announcement.
class CProjectTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int KindRole = Qt::UserRole + 1;     // the node's view kind
    static constexpr int CaptionRole = Qt::UserRole + 2;  // the caption the document holds
    static constexpr int FileRole = Qt::UserRole + 3;     // an item's 0-based file position

    CProjectTree(CGlowdeckDoc& doc, QWidget* parent = nullptr);

    // Commands (context menus, keys and the main window's add commands).
    void AddGroup();
    void AddItem(ItemKind kind);
    void RenameSelected();
    void DeleteSelected();
    // The Delete key: deletes the selected item, or the selected group once
    // the user has confirmed it.
    void DeleteSelectedAsking();
    void CopySelected();
    void PasteOnSelected();
    bool CanPasteOnSelected() const;

    // Drops `source` onto `target` (null: no target); copies when `copy`.
    bool DropNode(QTreeWidgetItem* source, QTreeWidgetItem* target, bool copy);

    // The dragged node `source` moved to `pos` (viewport coordinates): after
    // the hover interval without another move, the node there is selected
    // and expanded.
    void HoverDuringDrag(QTreeWidgetItem* source, const QPoint& pos);
    void SetHoverInterval(int ms) { hoverTimer_.setInterval(ms); }

    // Selects item `index` (1-based) of the group of the current node.
    void SelectItemOfCurrentGroup(int index);

    TreeNode NodeOf(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* ProjectNode() const { return root_; }
    QTreeWidgetItem* GroupNode(int group) const;           // 1-based
    QTreeWidgetItem* ItemNode(int group, int item) const;  // 1-based
    QTreeWidgetItem* CopiedNode() const { return copied_; }
    // The group the add commands work on: the selected group, an item's
    // group, or the last group when the project node (or nothing) is selected.
    int TargetGroup() const;

signals:
    // The selected node changed: its view kind and 1-based group and item.
    void NodeSelected(int viewKind, int group, int item);
    // Enter on the selected node.
    void NodeActivated(int viewKind, int group, int item);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions actions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QTreeWidgetItem* MakeNode(int viewKind, const QString& caption);
    // The nodes made again from the document; the selected position, the
    // groups' expansion and the copied node stay where they can.
    void Rebuild();
    void RefreshCaptions();
    void OnProjectOpened();
    void OnItemAdded(int g, int i);
    void OnItemRemoved(int g, int i);
    void OnItemChanged(int g, int i);
    QTreeWidgetItem* NodeOfFileItem(int g, int i) const;  // 0-based
    QString CaptionOf(int g, int i) const;
    // What identifies a node across a rebuild: its level, caption and id.
    QString Signature(const QTreeWidgetItem* node) const;
    bool Apply(QTreeWidgetItem* source, const TreeEdit& edit);
    void Select(QTreeWidgetItem* node);
    void OnCurrentChanged(QTreeWidgetItem* node);
    void OnCaptionEdited(QTreeWidgetItem* node);
    void Forget(QTreeWidgetItem* removed);
    int FileItem(int group, int item) const;  // tree item number → project-file position
    bool Warn(const QString& text);
    void OnHoverTimeout();
    // False, with the damaged-project message, when an item's id is not a
    // plain file name; deleting and copying are refused then.
    bool IdsSound();

    CGlowdeckDoc& doc_;
    QTreeWidgetItem* root_ = nullptr;
    QTreeWidgetItem* copied_ = nullptr;
    QTreeWidgetItem* dragSource_ = nullptr;
    QTreeWidgetItem* current_ = nullptr;
    QTreeWidgetItem* hoverSource_ = nullptr;  // the node being dragged while the hover timer runs
    QPoint hoverPos_;
    QTimer hoverTimer_;
    QElapsedTimer pressed_;
    bool loading_ = false;
    bool renaming_ = false;  // a caption edit is being stored
};

}  // namespace glowdeck
