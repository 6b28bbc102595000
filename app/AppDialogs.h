#pragma once
#include <QPointer>
#include <QWidget>

#include "model/ProjectDialogs.h"

namespace glowdeck {

// The project questions as Qt dialogs.
class AppDialogs : public IProjectDialogs {
public:
    explicit AppDialogs(QWidget* parent) : parent_(parent) {}
    StartChoice AskStart() override;
    std::optional<QString> AskNewProjectName() override;
    std::optional<QString> AskProjectFile(const QString& folder) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace glowdeck
