// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>

#include "app/ProjectDialogs.h"
#include "app/ShellDialogs.h"

class QDialog;

namespace glowdeck {

class IMessageSink;

// The window a dialog belongs to: the active window (a paint window kept on
// top, the send window), else `fallback`. A dialog parented elsewhere could
// open beneath the window the user is looking at.
QWidget* DialogParent(QWidget* fallback);
// Makes a dialog that is about to run modal come up over its parent: kept on
// top when its parent is, raised and activated once shown.
void ComeOnTop(QDialog* dialog);
// The project file's name in `folder` as it is spelt there ("Index.prj",
// "index.prj", any case), else "index.prj".
QString ProjectFileNameIn(const QString& folder);

// The project and start-up questions as Qt dialogs.
class AppDialogs : public IProjectDialogs, public IShellDialogs {
public:
    AppDialogs(QWidget* parent, IMessageSink& messages) : parent_(parent), messages_(messages) {}
    StartChoice AskStart() override;
    std::optional<QString> AskNewProjectName() override;
    std::optional<QString> AskProjectFile(const QString& folder) override;
    int AskBallType() override;
    int AskLayer() override;
    // Where new projects go (the open document's project root); the
    // new-project dialog refuses a name whose folder cannot be made there.
    void SetProjectRoot(std::function<QString()> root) { projectRoot_ = std::move(root); }

private:
    QPointer<QWidget> parent_;
    IMessageSink& messages_;
    std::function<QString()> projectRoot_;
};

}  // namespace glowdeck
