// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QStringList>
#include <deque>
#include <optional>

#include "app/ProjectDialogs.h"

namespace glowdeck {
class CGlowdeckDoc;
}

namespace glowdeck::test {

// Dialogs that answer from queues; an empty queue cancels.
class ScriptedDialogs : public IProjectDialogs {
public:
    StartChoice AskStart() override;
    std::optional<QString> AskNewProjectName() override;
    std::optional<QString> AskProjectFile(const QString& folder) override;

    std::deque<StartChoice> starts;
    std::deque<QString> names;
    std::deque<QString> files;
    QStringList askedFolders;
    int startShown = 0;
};

// The project as a tree's lines: "project N", "group N", "item G kind caption".
QStringList Outline(const CGlowdeckDoc& doc);

// What the document announced: its title, its folder, and the outline of the
// project each time one was created or opened.
class RecordingAnnouncements {
public:
    explicit RecordingAnnouncements(CGlowdeckDoc& doc);

    QString title, folder;
    QStringList lines;
    int opened = 0;

private:
    QObject context_;
};

}  // namespace glowdeck::test
