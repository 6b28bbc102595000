// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QHash>
#include <QMainWindow>

#include "app/ProjectStart.h"
#include "model/EditResult.h"
#include "model/ItemKind.h"
#include "model/ProgramFolders.h"

class QAction;
class QLabel;
class QTextBrowser;

namespace glowdeck {

class CGlowdeckDoc;
class CItemListPane;
class CProjectTree;
class IShellDialogs;

// The main window: menus and toolbar with their commands, the project pane,
// the item list pane, the status bar, the ball type and layer, and the
// central view of the selected tree node. It follows the document's
// announcements (title, folder) and turns on its undo history.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CGlowdeckDoc& doc, IShellDialogs& dialogs, const QString& programFolder);

    // Asks the ball type when setting.ini has none, then runs the document's
    // start-up (start dialog loop) and the layer question of a double-layer
    // ball. False when the user left the start dialog.
    // The start-up steps; `project` (a folder or its Index.prj) opens directly.
    bool Start(const QString& project = QString());

    // The start, new and open dialogs; null asks nothing.
    void SetProjectDialogs(IProjectDialogs* dialogs) { start_.SetDialogs(dialogs); }

    CProjectTree* Tree() const { return tree_; }
    CItemListPane* ItemList() const { return itemList_; }
    QWidget* CurrentView() const { return view_; }
    int CurrentViewKind() const { return viewKind_; }
    QAction* Command(int id) const { return commands_.value(id); }
    int BallType() const { return ballType_; }
    int Layer() const { return layer_; }

    // Commands.
    void SetBallType(int type);
    void SetLayer(int layer);
    void NewProject();
    void OpenProject();
    void Send();
    void Compile();
    void MemoryReport();
    // "清除临时文件": removes the files in Images that no item uses and says
    // how many.
    void CleanImages();
    void FactoryRestore();
    void Help();
    void SetLook(int id);
    // "撤销" and "重复": a paint frame with the focus takes back or redoes
    // its own strokes first, while it has any; otherwise the document's last
    // step. A step that cannot be written is shown and stays. (A paint
    // window, a window of its own, has its own keys for its strokes.)
    void Undo();
    void Redo();

    // Shows the view of `viewKind` for the selected tree node (0: the main view).
    void ShowView(int viewKind);
    void SetTitle(const QString& title);

protected:
    // The dialogs the commands open; tests replace them.
    virtual bool RunCompileDialog();  // true when a compile finished
    virtual void RunSendDialog(bool factory);
    // Opens the guide in the desktop's browser; false when none could be started.
    virtual bool LaunchBrowser(const QString& guide);
    void ShowHelpWindow(const QString& guide);
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& keys = {});
    void BuildMenus();
    void BuildToolbar();
    void InitBallType();
    // Writes the ball type into setting.ini; a failed write is shown.
    void StoreBallType();
    void AskLayerIfDouble();
    void UpdateChecks();
    // After a stored edit: the status bar says when the show no longer fits
    // the ball, and stops saying it once it fits again.
    void SayIfShowTooLarge();
    void ShowFolder(const QString& folder);
    void StorePendingEdit();
    void StepTaken(const EditResult& result);
    // Enter on a tree node: a group's item list or an item's editor takes the focus.
    void Activate(int viewKind);
    // The selected tree node's view, when another one (the main page) shows.
    void ShowSelectedIfHidden();

    CGlowdeckDoc& doc_;
    IShellDialogs& dialogs_;
    CProjectStart start_;
    QString programFolder_;
    ProgramFolders folders_;  // where setting.ini, the guide and the factory files are
    CProjectTree* tree_;
    CItemListPane* itemList_;
    QWidget* view_ = nullptr;
    QTextBrowser* helpWindow_ = nullptr;
    int viewKind_ = -1;
    QLabel* pathPane_;
    QHash<int, QAction*> commands_;
    int ballType_ = 0;
    int layer_ = 0;
    QString shownTooLarge_;  // the status bar's "does not fit" message, if shown
    int look_ = 0;
};

}  // namespace glowdeck
