// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <Qt>

#include "model/ItemKind.h"

namespace glowdeck {

class CGlowdeckDoc;
class CProjectFile;

// A node of the project tree: its level and 1-based group and item numbers
// (0 where the level has none).
struct TreeNode {
    enum Level { Project = 1, Group = 2, Item = 3 };
    Level level = Project;
    int group = 0;
    int item = 0;
};

// What a drop or a paste does.
struct TreeEdit {
    enum Action { Nothing, MoveGroup, CopyGroup, MoveItem, CopyItem };
    Action action = Nothing;
    int targetGroup = 0;  // 1-based
    int targetItem = 0;   // insert after this item; 0 = at the end of the group
    QString refusal;      // the message to show instead, when refused
};

// The drop rules of the project tree, checks in their order.
TreeEdit DecideDrop(CGlowdeckDoc& doc, const TreeNode& source, const TreeNode* target, bool copy);
// Paste onto a group (`target.item` 0) or after an item; `source` is the
// copied node.
TreeEdit DecidePaste(CGlowdeckDoc& doc, const TreeNode& source, const TreeNode& target);

// A drop copies only when exactly Ctrl is held.
bool IsCopyDrop(Qt::KeyboardModifiers modifiers);

// The tree shows nodes only for the four kinds; the project file counts
// every element of a group. The file position (1-based) of the n-th shown
// item of group g, or 0 when there is none.
int FilePosition(const CProjectFile& file, int group, int shownItem);

// The caption an item list entry carries: "%s_%d组_%d号".
QString ListCaption(const QString& elementName, int group, int item);

}  // namespace glowdeck
