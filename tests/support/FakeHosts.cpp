#include "support/FakeHosts.h"

#include "model/ItemKind.h"

namespace glowdeck::test {

IProjectDialogs::StartChoice ScriptedDialogs::AskStart() {
    ++startShown;
    if (starts.empty()) return StartChoice::Quit;
    const StartChoice c = starts.front();
    starts.pop_front();
    return c;
}

std::optional<QString> ScriptedDialogs::AskNewProjectName() {
    if (names.empty()) return std::nullopt;
    QString n = names.front();
    names.pop_front();
    return n;
}

std::optional<QString> ScriptedDialogs::AskProjectFile(const QString& folder) {
    askedFolders << folder;
    if (files.empty()) return std::nullopt;
    QString f = files.front();
    files.pop_front();
    return f;
}

void RecordingTree::ResetTree(const QString& projectName) {
    lines = QStringList{QStringLiteral("project ") + projectName};
    selected = lines.front();
}

void RecordingTree::AddGroupNode(const QString& name, bool select) {
    lines << QStringLiteral("group ") + name;
    if (select) selected = lines.back();
}

void RecordingTree::AddItemNode(int group, const QString& elementName, const QString& caption) {
    if (!KindFromElementName(elementName)) return;
    lines << QStringLiteral("item %1 %2 %3").arg(group).arg(elementName, caption);
}

void RecordingFrame::SetStatusPane(int, const QString& text, int width) {
    paneText = text;
    paneWidth = width;
}

}  // namespace glowdeck::test
