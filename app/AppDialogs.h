#pragma once
#include <QPointer>
#include <QWidget>

#include "app/ProjectDialogs.h"
#include "app/ShellDialogs.h"

namespace glowdeck {

class IMessageSink;

// The project and start-up questions as Qt dialogs.
class AppDialogs : public IProjectDialogs, public IShellDialogs {
public:
    AppDialogs(QWidget* parent, IMessageSink& messages) : parent_(parent), messages_(messages) {}
    StartChoice AskStart() override;
    std::optional<QString> AskNewProjectName() override;
    std::optional<QString> AskProjectFile(const QString& folder) override;
    int AskBallType() override;
    int AskLayer() override;

private:
    QPointer<QWidget> parent_;
    IMessageSink& messages_;
};

}  // namespace glowdeck
