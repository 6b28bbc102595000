#pragma once
#include <QStringList>
#include <deque>
#include <optional>

#include "model/FrameView.h"
#include "model/ProjectDialogs.h"
#include "model/ProjectTreeView.h"

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

// A project tree written down as lines: "project N", "group N", "item G kind caption".
class RecordingTree : public IProjectTreeView {
public:
    void ResetTree(const QString& projectName) override;
    void AddGroupNode(const QString& name, bool select) override;
    void AddItemNode(int group, const QString& elementName, const QString& caption) override;
    void ExpandAll() override { ++expanded; }

    QStringList lines;
    QString selected;
    int expanded = 0;
};

class RecordingFrame : public IFrameView {
public:
    void ShowView(int viewKind) override { views << viewKind; }
    void SetStatusPane(int pane, const QString& text, int width) override;
    void SetTitle(const QString& t) override { title = t; }

    QList<int> views;
    QString paneText;
    int paneWidth = 0;
    QString title;
};

}  // namespace glowdeck::test
