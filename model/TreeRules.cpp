// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TreeRules.h"

#include <QCoreApplication>

#include "model/GlowdeckDoc.h"

namespace glowdeck {

namespace {

const char kTargetFull[] = QT_TRANSLATE_NOOP("TreeRules", "目标组元素数已达上限！");
const char kAnimations[] = QT_TRANSLATE_NOOP("TreeRules", "单组动画最多为20幅！");
const char kGroups[] = QT_TRANSLATE_NOOP("TreeRules", "组数已达上限！");

int ItemsOf(CGlowdeckDoc& doc, int group) { return doc.ProjectFile()->ItemCount(group - 1); }

bool AnimationsFull(CGlowdeckDoc& doc, int group) {
    doc.RecountAnimations();
    return group - 1 < MaxGroups && doc.AnimationCount(group - 1) >= MaxAnimationsPerGroup;
}

TreeEdit Refused(const QString& why) {
    TreeEdit edit;
    edit.refusal = why;
    return edit;
}

// An item into `group` after `after` (0 = at the end). Reordering inside one
// group adds no item, so a full group still allows it; the animation limit
// is checked for every item that lands in a group, whatever its kind.
TreeEdit ItemInto(CGlowdeckDoc& doc, int group, int after, bool copy, bool reorder) {
    if (!reorder && ItemsOf(doc, group) >= MaxItemsPerGroup)
        return Refused(QCoreApplication::translate("TreeRules", kTargetFull));
    if (AnimationsFull(doc, group))
        return Refused(QCoreApplication::translate("TreeRules", kAnimations));
    TreeEdit edit;
    edit.action = copy ? TreeEdit::CopyItem : TreeEdit::MoveItem;
    edit.targetGroup = group;
    edit.targetItem = after;
    return edit;
}

}  // namespace

bool IsCopyDrop(Qt::KeyboardModifiers modifiers) {
    return (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                         Qt::MetaModifier)) == Qt::ControlModifier;
}

TreeEdit DecideDrop(CGlowdeckDoc& doc, const TreeNode& source, const TreeNode* target, bool copy) {
    if (!target || target->level == TreeNode::Project) return {};
    if (target->level == source.level && target->group == source.group &&
        target->item == source.item)
        return {};
    if (source.level == TreeNode::Group) {
        if (target->level != TreeNode::Group) return {};
        if (copy && doc.ProjectFile()->GroupCount() >= MaxGroups)
            return Refused(QCoreApplication::translate("TreeRules", kGroups));
        TreeEdit edit;
        edit.action = copy ? TreeEdit::CopyGroup : TreeEdit::MoveGroup;
        edit.targetGroup = target->group;
        return edit;
    }
    if (source.level != TreeNode::Item) return {};
    if (target->level == TreeNode::Group) return ItemInto(doc, target->group, 0, copy, false);
    // Onto an item: a full group still lets its own items be reordered.
    const bool sameGroupMove = !copy && source.group == target->group;
    return ItemInto(doc, target->group, target->item, copy, sameGroupMove);
}

TreeEdit DecidePaste(CGlowdeckDoc& doc, const TreeNode& source, const TreeNode& target) {
    if (source.level == TreeNode::Group) {
        if (target.level != TreeNode::Group) return {};
        if (doc.ProjectFile()->GroupCount() >= MaxGroups)
            return Refused(QCoreApplication::translate("TreeRules", kGroups));
        TreeEdit edit;
        edit.action = TreeEdit::CopyGroup;
        edit.targetGroup = target.group;
        return edit;
    }
    if (source.level != TreeNode::Item || target.level == TreeNode::Project) return {};
    return ItemInto(doc, target.group, target.level == TreeNode::Item ? target.item : 0, true,
                    false);
}

int FilePosition(const CProjectFile& file, int group, int shownItem) {
    if (group < 1 || group > file.GroupCount() || shownItem < 1) return 0;
    int shown = 0;
    for (int i = 0; i < file.ItemCount(group - 1); ++i)
        if (KindFromElementName(file.ItemKindOf(group - 1, i)) && ++shown == shownItem)
            return i + 1;
    return 0;
}

QString ListCaption(const QString& elementName, int group, int item) {
    QString word;
    switch (KindFromElementName(elementName).value_or(ItemKind::Picture)) {
        case ItemKind::Picture:
            word = QCoreApplication::translate("TreeRules", "图片");
            break;
        case ItemKind::Animation:
            word = QCoreApplication::translate("TreeRules", "动画");
            break;
        case ItemKind::Text:
            word = QCoreApplication::translate("TreeRules", "文字");
            break;
        case ItemKind::Interval:
            word = QCoreApplication::translate("TreeRules", "间隔");
            break;
    }
    return QCoreApplication::translate("TreeRules", "%1_%2组_%3号").arg(word).arg(group).arg(item);
}

}  // namespace glowdeck
