#pragma once
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "led/AnimationConverter.h"
#include "led/PictureConverter.h"
#include "led/TextConverter.h"
#include "model/ItemKind.h"
#include "model/ProjectFile.h"
#include "model/ProjectLimits.h"
#include "model/ProjectLock.h"

namespace glowdeck {

class IMessageSink;
class IProjectDialogs;
class IProjectTreeView;
class IFrameView;

// The document: owns the open project, its paths, the source image table,
// the data-size account, the per-group animation counts and the
// needs-compile flag. Editing operations take 1-based group and item numbers
// as the user interface shows them and save the project file at once.
class CGlowdeckDoc {
public:
    explicit CGlowdeckDoc(IMessageSink& messages);
    ~CGlowdeckDoc();

    // Collaborators of the project steps; any may be null (nothing is shown).
    void SetDialogs(IProjectDialogs* dialogs) { dialogs_ = dialogs; }
    void SetTreeView(IProjectTreeView* tree) { tree_ = tree; }
    void SetFrameView(IFrameView* frame) { frame_ = frame; }
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
    // The program's start: settings, main view, then the start dialog until a
    // project is created or opened. False when the user leaves the start dialog.
    // A `project` given (a project folder or a file in it, as on the command
    // line) is opened without the start dialog; the dialog follows only when it
    // cannot be opened.
    bool StartUp(const QString& programFolder, const QString& project = QString());
    bool CreateProject();  // asks the name
    bool OpenProject();    // asks the file
    // A project name is one plain folder name (CProjectFile::IsPlainFileName).
    static bool IsProjectName(const QString& name);
    // Creates the project `name` under the project root. False (with `why` set)
    // when the name is no plain folder name, or its folder exists or cannot be made.
    bool CreateProjectNamed(const QString& name, QString* why = nullptr);
    // Opens the project of the folder that holds `chosenFile`, wherever it is;
    // the project root stays as it is.
    bool OpenProjectFile(const QString& chosenFile);
    // Opens the project folder `folder` wherever it is; the root stays.
    bool OpenProjectFolder(const QString& folder);

    // --- editing operations (1-based numbers; each saves) ---
    // Deleting and copying refuse a project with a damaged id (CheckItemIds).
    bool NewGroup(const QString& name);
    bool RenameGroup(int g, const QString& name);
    bool DeleteGroup(int g);
    bool CopyGroup(int g, int g2);
    bool MoveGroup(int g, int g2);
    bool NewItem(ItemKind kind, int g, const QString& name);
    bool NewPicture(int g, const QString& name) { return NewItem(ItemKind::Picture, g, name); }
    bool NewAnimation(int g, const QString& name) { return NewItem(ItemKind::Animation, g, name); }
    bool NewText(int g, const QString& name) { return NewItem(ItemKind::Text, g, name); }
    bool NewInterval(int g, const QString& name) { return NewItem(ItemKind::Interval, g, name); }
    bool RenameItem(int g, int i, const QString& name);
    bool DeleteItem(int g, int i);
    bool CopyItem(int g, int i, int g2, int i2);
    bool MoveItem(int g, int i, int g2, int i2);
    // Saves the project (the save command); reports a failure.
    bool SaveProject();

    // A copy of the open project for a compile on another thread: the same
    // paths and the project as it is now, no lock, its own converters.
    // Editing the document afterwards does not change the copy.
    std::unique_ptr<CGlowdeckDoc> CompileSnapshot(IMessageSink& messages) const;

    // --- derived tables ---
    void RecomputeTotalDataBytes();
    void RecountAnimations();
    void RebuildPathTables();
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

    std::uint32_t totalDataBytes = 0;
    std::array<int, MaxGroups> animationCount{};
    bool needsCompile = false;
    // The converters, kept for the program's run (the compiler has its own
    // index builder and converters).
    CAnimationConverter animationConverter;
    CPictureConverter pictureConverter;
    CTextConverter textConverter;

    QString iniPath;
    QString projectFolder;
    QString imagesFolder;
    QString projectFilePath;
    QString dataFilePath;
    QString projectRoot;
    QString buildHint;
    QString title;

private:
    bool Saved();
    void FillTree();
    bool OpenAt(const QString& folder);
    void SetProjectFolder(const QString& folder);
    // Takes the lock of `folder` into lock_ (kept when it is already ours);
    // warns and returns false when another program holds it.
    bool LockFolder(const QString& folder);

    IMessageSink& messages_;
    IProjectDialogs* dialogs_ = nullptr;
    IProjectTreeView* tree_ = nullptr;
    IFrameView* frame_ = nullptr;
    std::unique_ptr<CProjectFile> projectFile_;
    std::vector<QString> sourceImagePath_;
    CProjectLock lock_;
    QString lockProgram_ = CProjectLock::DesktopProgram();
    int lockWaitMs_ = 0;
};

}  // namespace glowdeck
