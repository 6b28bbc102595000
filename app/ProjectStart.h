// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "app/ProjectDialogs.h"

namespace glowdeck {

class CGlowdeckDoc;

// The program's start and its new and open commands: the dialogs that
// choose a project, around the document's create and open.
class CProjectStart {
public:
    explicit CProjectStart(CGlowdeckDoc& doc) : doc_(doc) {}
    // May be null: nothing is asked.
    void SetDialogs(IProjectDialogs* dialogs) { dialogs_ = dialogs; }

    // The program's start: settings, then the start dialog until a project
    // is created or opened. False when the user leaves the start dialog. A
    // `project` given (a project folder or a file in it, as on the command
    // line) is opened without the start dialog; the dialog follows only when
    // it cannot be opened.
    bool StartUp(const QString& programFolder, const QString& project = QString());
    bool CreateProject();  // asks the name
    bool OpenProject();    // asks the file

private:
    CGlowdeckDoc& doc_;
    IProjectDialogs* dialogs_ = nullptr;
};

}  // namespace glowdeck
