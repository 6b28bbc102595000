// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace glowdeck {

// Which files of a project's Images folder its items use, and the removal of
// the others. Every removal of image files goes through here: the cleaning
// after an edit, the desktop's "清除临时文件" and `glowdeck-cli clean`.
//
// A file is in use when its whole name, or its name without its last
// extension, is an id that the project names, in any letter case. Copies of
// an item share its id and so its file; an id named by a kept copy of an
// unreadable project file (IdsInBackups) counts as well.
namespace image_use {

// `text` in lower case exactly as QString::toLower gives it, quickly for
// ASCII text (every id and file name the program writes).
QString Lowered(const QString& text);

// The ids as InUse compares them.
QSet<QString> IdSet(const QStringList& ids);
bool InUse(const QString& fileName, const QSet<QString>& ids);

// What a removal did.
struct Removal {
    bool ok = true;
    QString message;      // why something could not be removed
    QStringList removed;  // the names removed, in folder order
    qint64 bytes = 0;     // their sizes together
};

// Removes the files of `folder` that are not in use by `inUse`; with
// `onlyOf`, only those whose name or stem is one of these ids. Files and
// links are removed; a link is removed itself, never what it points to.
// Folders and special files stay. A `folder` that is a link, or no folder,
// is refused untouched; a missing one has nothing to remove.
Removal RemoveUnused(const QString& folder, const QSet<QString>& inUse,
                     const QSet<QString>* onlyOf = nullptr);
// The same, asking which ids are in use only about the files that may go:
// `inUseOf` gets their names and stems and returns those of them in use (as IdSet).
using InUseOf = std::function<QSet<QString>(const QStringList& names)>;
Removal RemoveUnused(const QString& folder, const InUseOf& inUseOf,
                     const QSet<QString>* onlyOf = nullptr);

// The ids written in the copies that a save keeps of an unreadable project
// file ("<project file>.bak", ".bak1", ...), read as text: such a file does
// not parse, but its items may still be brought back.
QStringList IdsInBackups(const QString& projectFilePath);

}  // namespace image_use
}  // namespace glowdeck
