#pragma once
#include <QString>

namespace glowdeck {

// What the document's project steps need of the project tree.
class IProjectTreeView {
public:
    virtual ~IProjectTreeView() = default;
    // Removes every node and inserts the project node, which becomes selected.
    virtual void ResetTree(const QString& projectName) = 0;
    // Adds a group node as the last child of the project node.
    virtual void AddGroupNode(const QString& name, bool select) = 0;
    // Adds an item node at the end of group `group` (0-based) from its element
    // name; elements that are none of the four kinds get no node.
    virtual void AddItemNode(int group, const QString& elementName, const QString& caption) = 0;
    virtual void ExpandAll() = 0;
};

}  // namespace glowdeck
