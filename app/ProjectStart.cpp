// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProjectStart.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "base/MessageSink.h"
#include "model/GlowdeckDoc.h"

namespace glowdeck {

bool CProjectStart::StartUp(const QString& programFolder, const QString& project) {
    doc_.LoadSettings(programFolder);
    if (!project.isEmpty()) {
        const QFileInfo given(project);
        if (!given.exists())
            doc_.Messages().Warn(
                QCoreApplication::translate("ProjectStart", "找不到项目：%1").arg(project));
        else if (given.isDir() ? doc_.OpenProjectFolder(project) : doc_.OpenProjectFile(project))
            return true;
    }
    if (!dialogs_) return false;
    for (;;) {
        switch (dialogs_->AskStart()) {
            case IProjectDialogs::StartChoice::NewProject:
                if (CreateProject()) return true;
                break;
            case IProjectDialogs::StartChoice::OpenProject:
                if (OpenProject()) return true;
                break;
            case IProjectDialogs::StartChoice::Quit:
                return false;
        }
    }
}

bool CProjectStart::CreateProject() {
    if (!dialogs_) return false;
    const std::optional<QString> name = dialogs_->AskNewProjectName();
    if (!name) return false;
    bool foldersMade = false;
    const EditResult created = doc_.CreateProjectNamed(*name, &foldersMade);
    // A folder that exists or cannot be made fails silently (the start
    // dialog asks again); a project file that cannot be written says why.
    if (!created && foldersMade) doc_.Messages().Warn(created.message);
    return created.ok;
}

bool CProjectStart::OpenProject() {
    if (!dialogs_) return false;
    const std::optional<QString> chosen = dialogs_->AskProjectFile(doc_.ProjectRoot());
    if (!chosen) return false;
    return doc_.OpenProjectFile(*chosen);
}

}  // namespace glowdeck
