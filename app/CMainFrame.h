#pragma once
#include <QMainWindow>

#include "model/FrameView.h"
#include "model/ItemKind.h"

class QLabel;

namespace glowdeck {

class CGlowdeckDoc;
class CProjectTree;

// The main window: menus, the project pane and the status bar.
class CMainFrame : public QMainWindow, public IFrameView
{
    Q_OBJECT
public:
    explicit CMainFrame(CGlowdeckDoc& doc);

    CProjectTree* Tree() const { return tree_; }

    void ShowView(int viewKind) override;
    void SetStatusPane(int pane, const QString& text, int width) override;
    void SetTitle(const QString& title) override;

private:
    void BuildMenus();
    void AddGroup();
    void AddItem(ItemKind kind);

    CGlowdeckDoc& doc_;
    CProjectTree* tree_;
    QLabel* pathPane_;
    QLabel* view_;
};

}  // namespace glowdeck
