// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <optional>

namespace glowdeck {

// The questions the document's project steps ask the user.
class IProjectDialogs {
public:
    enum class StartChoice { NewProject, OpenProject, Quit };
    virtual ~IProjectDialogs() = default;
    // The start dialog: create, open, or leave the program.
    virtual StartChoice AskStart() = 0;
    // The new-project dialog: the name typed, or nullopt on cancel.
    virtual std::optional<QString> AskNewProjectName() = 0;
    // The file-open dialog for "*.prj" files starting in `folder`; nullopt on cancel.
    virtual std::optional<QString> AskProjectFile(const QString& folder) = 0;
};

}  // namespace glowdeck
