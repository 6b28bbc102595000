// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <vector>

#include "model/ItemKind.h"

namespace glowdeck {

// The open project's "Index.prj" as an element tree. Groups and items are
// reached by 0-based position; every accessor throws AccessError when the
// group, the item or the property element does not exist.
class CProjectFile {
public:
    // Loads `filePath`. When it cannot be loaded (missing, not a regular
    // file, larger than MaxProjectFileBytes, unreadable, not well-formed, or
    // holding more than MaxItemsInFile items or MaxGroupsInFile groups) the
    // object holds an empty project named `projectName`; nothing is written
    // until the first Save, which first keeps a regular file it could not use
    // beside it.
    explicit CProjectFile(QString filePath, const QString& projectName = QString());
    // Builds the tree from `content` as if it had been read from `filePath`.
    CProjectFile(QString filePath, const QByteArray& content, const QString& projectName);

    CProjectFile(const CProjectFile&) = delete;
    CProjectFile& operator=(const CProjectFile&) = delete;

    const QString& FilePath() const { return filePath_; }
    bool Loaded() const { return loaded_; }
    // Why the file did not load, with line and column for XML errors; empty when it loaded.
    const QString& LoadError() const { return loadError_; }

    QString ProjectName() const;

    int GroupCount() const;
    QString GroupName(int g) const;
    int ItemCount(int g) const;
    QString ItemKindOf(int g, int i) const;
    // The kind of item (g, i) by its element name (a namespace prefix
    // ignored), none for an element of another name.
    std::optional<ItemKind> KindOf(int g, int i) const;

    QString GetAttr(int g, int i, const char* name) const;
    void SetAttr(int g, int i, const char* name, const QString& value);
    QString GetText(int g, int i, const char* name) const;
    void SetText(int g, int i, const char* name, const QString& value);
    int GetInt(int g, int i, const char* name) const;
    void SetInt(int g, int i, const char* name, int value);
    std::vector<int> GetIntList(int g, int i, const char* name) const;
    void SetIntList(int g, int i, const char* name, const std::vector<int>& values);
    // Property elements that an item may lack (absent means the default):
    // whether it has one, one appended after the others or set when it
    // exists, and one removed (nothing when it has none).
    bool HasProperty(int g, int i, const char* name) const;
    void SetOptionalText(int g, int i, const char* name, const QString& value);
    void RemoveProperty(int g, int i, const char* name);
    QString NewItemId(int g, int i);
    // The item's "id", the stem of its image file names. Throws AccessError
    // when it is not a plain file name (IsPlainFileName): such a file is damaged.
    QString ItemId(int g, int i) const;
    // Every "id" attribute of the tree, at any depth, as written: the names
    // of the files in Images that the project uses (ImageUse.h).
    QStringList AllIds() const;
    // Of `ids`, those that no "id" attribute of the tree names any more, in
    // any letter case (as image_use compares them).
    QStringList Unnamed(const QStringList& ids) const;
    // Throws AccessError, as ItemId does, for the first item of a known kind
    // whose id is not a plain file name.
    void CheckItemIds() const;
    // True for a name that stays inside its folder: not empty, no slash or
    // backslash, no "..", no NUL.
    static bool IsPlainFileName(const QString& name);

    // Writes the whole tree to FilePath() atomically: the file on disk is
    // always the old or the new project. A file that existed but could not be
    // read is first kept beside it as "<name>.bak" (then ".bak1", ...).
    [[nodiscard]] bool Save(QString* error = nullptr);
    // The exact bytes Save writes.
    QByteArray Serialize() const;

    // Tree edits of the editing operations.
    void SetGroupName(int g, const QString& name);
    void AppendGroup(const QString& name);
    void RemoveGroup(int g);
    // Moves or copies group g to right after group `after`.
    void PlaceGroupAfter(int g, int after, bool copy);
    // Appends a new item of `kind` with its default properties to group g.
    void AppendItem(int g, ItemKind kind, const QString& name, const QString& id);
    void RemoveItem(int g, int i);
    // Moves or copies item (g, i) into group g2 right after item `after`,
    // or to the end of g2 when `after` is -1.
    void PlaceItemAfter(int g, int i, int g2, int after, bool copy);

    static QString GenerateId();

    // A copy of the whole tree, put back by Restore: what an editing
    // operation keeps so that a failure leaves the project as it was.
    class Snapshot {
        friend class CProjectFile;
        // The bytes the tree was loaded from while it was unchanged since,
        // else a copy of the tree.
        QByteArray bytes_;
        pugi::xml_document tree_;
        size_t releasedMark_ = 0;

    public:
        QStringList AllIds() const;  // as CProjectFile::AllIds
    };
    std::unique_ptr<Snapshot> TakeSnapshot() const;
    void Restore(const Snapshot& snapshot);
    // The ids that changes since `snapshot` overwrote or removed with their
    // elements, as written (repeats possible): the only ids that those
    // changes can have dropped from the tree. Cheaper than comparing
    // snapshot.AllIds() with AllIds(), which walk the whole trees.
    QStringList IdsReleasedSince(const Snapshot& snapshot) const;

private:
    void Load(const QByteArray& data, const QString& projectName);
    // Parses `bytes` into `document` as Load does; false when they do not parse.
    static bool ParseInto(pugi::xml_document& document, const QByteArray& bytes);
    void StartEmpty(const QString& projectName);
    // Positions the groups and items once per load and after every change of
    // the structure, so that reaching an item by position costs no walk.
    void Reindex();
    // The damage that keeps a loaded tree from being used; empty when none.
    QString TooLarge() const;
    pugi::xml_node Group(int g) const;
    pugi::xml_node Item(int g, int i) const;
    pugi::xml_node Property(int g, int i, const char* name) const;
    // Keeps the ids of `node` and of every element below it as released.
    void Release(pugi::xml_node node, bool withOwn);
    static void PlaceAfter(pugi::xml_node parent, pugi::xml_node node, pugi::xml_node ref,
                           bool copy);

    QString filePath_;
    pugi::xml_document document_;
    pugi::xml_node root_;
    std::vector<pugi::xml_node> groups_;
    std::vector<std::vector<pugi::xml_node>> items_;  // per group, every child node
    // Ids overwritten or removed since the tree was loaded (IdsReleasedSince).
    std::vector<QString> released_;
    // The bytes the tree was parsed from, and whether the tree is still
    // exactly what they parse to (no change since the load).
    QByteArray loadedBytes_;
    bool pristine_ = false;
    // Every item's id passed CheckItemIds, and none was written since.
    mutable bool idsPlain_ = false;
    bool loaded_ = false;
    bool keepUnreadableOriginal_ = false;
    QString loadError_;
};

}  // namespace glowdeck
