// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUndoCommand>

namespace glowdeck {

// The files behind the desktop's undo steps. A step keeps the project file
// as it was before and after the edit; the image files that one of the two
// names and the project in its place does not are kept in the history folder
// of the project (outside Images/, so Images/ holds exactly the files the
// items use). The folder lives only while the program that made it has the
// project open.
namespace edit_history {

// "<project folder>/.glowdeck-history" (no trailing '/').
QString FolderOf(const QString& projectFolder);

// Removes the history folder of a project with everything in it; a link in
// its place is removed itself, never what it points to. True when none is
// left (or there was none).
bool Remove(const QString& projectFolder);

// What a move did: the names moved, or why one could not be.
struct Moved {
    bool ok = true;
    QString message;
    QStringList names;
};

// Moves the plain files (and links) of folder `from` whose name or name
// without its last extension is one of `ids` (lower case, as
// image_use::IdSet gives them) into folder `to`, which is made when
// missing. Stops at the first one that cannot be moved.
Moved MoveFiles(const QString& from, const QString& to, const QSet<QString>& ids);
// Moves the names `names` from `from` back into `to`, as far as it can.
void MoveBack(const QString& from, const QString& to, const QStringList& names);

}  // namespace edit_history

// What an edit does, for the name of its undo step.
enum class EditKind {
    Add,
    Delete,
    Rename,
    Copy,
    Move,
    ChooseSource,
    ConfirmText,
    ApplyInterval,
    ReplacePicture,
    Settings,
};

// The short name of an undo step, in the interface's language: what it did,
// and to which group or item ("删除“组1”"); the verb alone without a name.
QString StepText(EditKind kind, const QString& name);

// One undo step of the document: the project file's bytes before and after
// one edit. The document applies the states itself (CGlowdeckDoc::Undo and
// Redo), so that a step that cannot be written stays where it was; undo()
// and redo() of the command only mark the stack's position.
class CEditStep : public QUndoCommand {
public:
    CEditStep(QByteArray before, QByteArray after, bool needsCompile)
        : before_(std::move(before)), after_(std::move(after)), needsCompile_(needsCompile) {}
    const QByteArray& Before() const { return before_; }
    const QByteArray& After() const { return after_; }
    bool NeedsCompile() const { return needsCompile_; }
    void undo() override {}
    void redo() override {}

private:
    QByteArray before_, after_;
    bool needsCompile_;
};

}  // namespace glowdeck
