// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "model/EditHistory.h"
#include "model/EditResult.h"
#include "model/ImageUse.h"
#include "model/ItemKind.h"
#include "model/ProjectFile.h"
#include "model/ProjectLimits.h"
#include "model/ProjectLock.h"

namespace glowdeck {

class IMessageSink;

// The document: owns the open project, its paths, the source image table,
// the data-size account, the per-group animation counts, the revision and
// the undo stack. Editing operations take 1-based group and item numbers
// as the user interface shows them and save the project file at once.
// The document calls no view: it announces every change with its signals,
// and the project tree, the item list and the editors follow them.
class CGlowdeckDoc : public QObject {
    Q_OBJECT
public:
    explicit CGlowdeckDoc(IMessageSink& messages);
    ~CGlowdeckDoc() override;

    IMessageSink& Messages() { return messages_; }
    // Who this program is for the project lock, and how long opening a project
    // waits for a command-line run that holds it. The lock is held for as long
    // as a project is open. An empty program takes no lock: for readers that
    // never write (saves are atomic, so they always read a whole file).
    void SetLockPolicy(const QString& program, int waitMs) {
        lockProgram_ = program;
        lockWaitMs_ = waitMs;
    }

    // --- project folder and settings ---
    static QString DefaultProjectRoot();  // $HOME/TOVRIX/
    static QString DefaultBuildHint();
    // Reads setting.ini from `programFolder` (the folder ProgramFolders chose for
    // the files the program writes): project root and compile hint.
    void LoadSettings(const QString& programFolder);
    void SetProjectRoot(const QString& root);  // a missing trailing '/' is added
    void SetProjectPaths(const QString& name);
    // A project name is one plain folder name (CProjectFile::IsPlainFileName).
    static bool IsProjectName(const QString& name);
    // Creates the project `name` under the project root with its first group
    // "新建组", and opens it. Fails when the name is no plain folder name, its
    // folder exists or cannot be made (`foldersMade` false), or its lock or
    // project file cannot be written; the open project then stays open. The
    // project is built under a temporary name and appears complete or not at
    // all, so a failed attempt can be repeated.
    EditResult CreateProjectNamed(const QString& name, bool* foldersMade = nullptr);
    // Opens the project of the folder that holds `chosenFile`, wherever it is;
    // the project root stays as it is.
    bool OpenProjectFile(const QString& chosenFile);
    // Opens the project folder `folder` wherever it is; the root stays.
    bool OpenProjectFolder(const QString& folder);

    // --- editing operations (1-based numbers; each saves) ---
    // Each is one step: it changes the project and saves it, or, when it
    // fails (a damaged id, a full disk), leaves the project, the document's
    // tables and the files as they were and says why. Deleting and copying
    // refuse a project with a damaged id (CheckItemIds).
    EditResult NewGroup(const QString& name);
    EditResult RenameGroup(int g, const QString& name);
    EditResult DeleteGroup(int g);
    EditResult CopyGroup(int g, int g2);
    EditResult MoveGroup(int g, int g2);
    // Writes the kind's placeholder image, appends the item and saves; an
    // animation counts in its group's animation count.
    EditResult NewItem(ItemKind kind, int g, const QString& name);
    EditResult NewPicture(int g, const QString& name) {
        return NewItem(ItemKind::Picture, g, name);
    }
    EditResult NewAnimation(int g, const QString& name) {
        return NewItem(ItemKind::Animation, g, name);
    }
    EditResult NewText(int g, const QString& name) { return NewItem(ItemKind::Text, g, name); }
    EditResult NewInterval(int g, const QString& name) {
        return NewItem(ItemKind::Interval, g, name);
    }
    EditResult RenameItem(int g, int i, const QString& name);
    EditResult DeleteItem(int g, int i);
    EditResult CopyItem(int g, int i, int g2, int i2);
    EditResult MoveItem(int g, int i, int g2, int i2);
    // Saves the project (the save command).
    EditResult SaveProject();

    // --- undo ---
    // With history on (the desktop program), every edit of an open, locked
    // project becomes one step of the undo stack (at most UndoLimit). The
    // files a step needs to come back are kept in the project's history
    // folder (edit_history), which is removed when the project is closed.
    // The command line leaves it off: it has no undo and makes no folder.
    static constexpr int UndoLimit = 100;
    void SetHistoryEnabled(bool on) { historyEnabled_ = on; }
    QUndoStack& UndoStack() { return undoStack_; }
    QString HistoryFolder() const;
    // Puts the project back as it was before the last step (Undo) or after
    // the next one (Redo): the files it names come back into Images/ first,
    // then the project file is saved atomically, then the files it no longer
    // names go to the history folder. When the save fails nothing changes
    // and the step stays where it was; the result says why.
    EditResult Undo();
    EditResult Redo();
    // Drops every step and removes the history folder.
    void CloseHistory();

    // --- image files ---
    // Removes every file of the Images folder that no item uses (image_use),
    // for "清除临时文件" and `glowdeck-cli clean`. Refused, with nothing
    // removed, without the project lock, while the project file could not be
    // read, or when an item's id is damaged.
    image_use::Removal RemoveUnusedImages();

    // One editing operation as a unit, for the operations here and the item
    // operations (item_ops). It keeps the project tree and the document's
    // tables as they were when it began; Commit saves the project. A failed
    // save, an exception or an edit dropped without Commit puts everything
    // back and removes the files the edit wrote, so nothing is half-done.
    // Once saved, the image files of the ids the edit replaced or deleted are
    // removed when no item uses them any more (image_use). With history on,
    // the saved edit is one undo step, named by `kind` and the group g or
    // item (g, i) (0-based; i -1 for a group) as named before the edit, or
    // after it for one the edit adds.
    class Edit {
    public:
        Edit(CGlowdeckDoc& doc, EditKind kind, int g, int i = -1);
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;
        // A file the edit has written: removed again when the edit fails.
        void Wrote(const QString& path) { written_.push_back(path); }
        // Saves the project. A change that the next compile must see (any
        // but a rename, a deletion or a move of items) sets needs-compile.
        EditResult Commit(bool needsCompile = true);

    private:
        void RollBack();
        CGlowdeckDoc& doc_;
        std::unique_ptr<CProjectFile::Snapshot> tree_;
        std::vector<QString> sourceImagePath_;
        std::uint32_t totalDataBytes_;
        std::array<int, MaxGroups> animationCount_;
        std::vector<QString> written_;
        QByteArray before_;  // the project file's bytes, for the undo step
        EditKind kind_;
        int g_, i_;
        std::optional<QString> name_;  // of the group or item, when it was there before
        bool done_ = false;
    };

    // --- needs-compile ---
    // Set by every change the next compile must see: the editing operations
    // and the item editors' changes (NoteEditorChange); cleared by a compile
    // of the project as it is now. Every edit counts one revision; a compile
    // records the revision it compiled (a copy keeps the revision of its
    // original), so an edit made while a compile runs keeps the flag set.
    bool NeedsCompile() const { return revision_ != compiledRevision_; }
    std::uint64_t Revision() const { return revision_; }
    void MarkCompiled(std::uint64_t revision) { compiledRevision_ = revision; }
    // An item editor changed a setting that is not stored yet (a slider
    // moved, text typed): the project shown is no longer the one compiled.
    void NoteEditorChange() { Revised(); }

    // A copy of the open project for a compile on another thread: the same
    // paths and the project as it is now, no lock, its own converters.
    // Editing the document afterwards does not change the copy.
    std::unique_ptr<CGlowdeckDoc> CompileSnapshot(IMessageSink& messages) const;

    // --- derived tables ---
    // The data-size account: 21 bytes per column of every item, as last
    // recomputed; and the animations of a 0-based group as counted when the
    // project was opened, or recounted, and added since.
    void RecomputeTotalDataBytes();
    std::uint32_t TotalDataBytes() const { return totalDataBytes_; }
    void RecountAnimations();
    int AnimationCount(int group) const {
        return group >= 0 && group < MaxGroups ? animationCount_[static_cast<size_t>(group)] : 0;
    }
    void RebuildPathTables();
    // The same for item (g, i) (0-based) alone, after its id changed: a
    // one-item edit costs one path, not one per item of the project.
    void RebuildPathTables(int g, int i);
    // Source image file of an item kind and id. Every path of an item's file
    // is built here: an id that is not a plain file name throws AccessError.
    QString SourceImagePathFor(ItemKind kind, const QString& id) const;
    // Throws AccessError naming the first item whose id is not a plain file
    // name. Operations that build paths from ids call it before they change
    // anything, so a damaged project is refused untouched.
    void CheckItemIds() const;
    const QString& SourceImagePath(int g, int i) const;  // 0-based entry of the table

    CProjectFile* ProjectFile() { return projectFile_.get(); }
    const CProjectFile* ProjectFile() const { return projectFile_.get(); }

    // --- paths and settings ---
    const QString& IniPath() const { return iniPath_; }
    const QString& ProjectFolder() const { return projectFolder_; }
    const QString& ImagesFolder() const { return imagesFolder_; }
    const QString& ProjectFilePath() const { return projectFilePath_; }
    const QString& DataFilePath() const { return dataFilePath_; }
    const QString& ProjectRoot() const { return projectRoot_; }
    const QString& BuildHint() const { return buildHint_; }
    const QString& Title() const { return title_; }
    // Where the compile writes (the project's data.bin unless set).
    void SetDataFilePath(const QString& path) { dataFilePath_ = path; }

    // For the item operations: item (g, i) (0-based) was changed and saved.
    void AnnounceItemChanged(int g, int i) { emit itemChanged(g, i); }

signals:
    // A project was created or opened: everything shown of the last one is gone.
    void projectOpened();
    // The window title ("New" before a project is open, then its name) and
    // the project's folder.
    void titleChanged(const QString& title);
    void folderChanged(const QString& folder);
    // Groups, or the items in them, were added, removed, renamed, copied or
    // moved, or a step was undone or redone: the shape of the project changed.
    void groupsChanged();
    // An item was appended as item i of group g, or item i of group g was
    // removed (0-based project-file positions).
    void itemAdded(int g, int i);
    void itemRemoved(int g, int i);
    // Item (g, i) was renamed or its source or settings were stored.
    void itemChanged(int g, int i);
    // The project shown is another one than before (see NeedsCompile).
    void revisionChanged(quint64 revision);

private:
    void Revised() {
        ++revision_;
        emit revisionChanged(revision_);
    }
    EditResult Saved();
    // Runs `change` as one Edit; an AccessError becomes a failure that
    // names the damage.
    template <class Change>
    EditResult Run(Change&& change);
    // Run, then on success `announce`.
    template <class Change, class Announce>
    EditResult Run(Change&& change, Announce&& announce);
    // The ids whose files stay: the project's, and those of kept copies of
    // an unreadable project file.
    QSet<QString> IdsInUse() const;
    // After a saved edit: removes the files of the ids in `before` that the
    // project no longer names.
    void RemoveImagesDroppedSince(const QStringList& before);
    bool OpenAt(const QString& folder);
    void SetProjectFolder(const QString& folder);
    // Takes the lock of `folder` into lock_ (kept when it is already ours);
    // warns and returns false when another program holds it.
    bool LockFolder(const QString& folder);
    // Whether an edit now becomes an undo step.
    bool HistoryActive() const;
    // The name of group g (i -1) or item (g, i), 0-based, if there is one.
    std::optional<QString> NameAt(int g, int i) const;
    // Makes the project the one `content` holds, as one all-or-nothing step.
    EditResult ApplyState(const QByteArray& content, bool needsCompile);

    IMessageSink& messages_;
    std::unique_ptr<CProjectFile> projectFile_;
    // The open project's file existed but could not be read: the tree in
    // memory is not what its items were, so no image file is cleaned.
    bool projectUnreadable_ = false;
    std::vector<QString> sourceImagePath_;
    CProjectLock lock_;
    QString lockProgram_ = CProjectLock::DesktopProgram();
    int lockWaitMs_ = 0;

    std::uint32_t totalDataBytes_ = 0;
    std::array<int, MaxGroups> animationCount_{};
    std::uint64_t revision_ = 0, compiledRevision_ = 0;
    bool historyEnabled_ = false;
    QUndoStack undoStack_;

    QString iniPath_;
    QString projectFolder_;
    QString imagesFolder_;
    QString projectFilePath_;
    QString dataFilePath_;
    QString projectRoot_;
    QString buildHint_;
    QString title_;
};

}  // namespace glowdeck
