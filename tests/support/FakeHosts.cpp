// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FakeHosts.h"

#include "base/AccessError.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemKind.h"
#include "model/ProjectFile.h"

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

QStringList Outline(const CGlowdeckDoc& doc) {
    QStringList lines{QStringLiteral("project ") + doc.Title()};
    const CProjectFile* file = doc.ProjectFile();
    for (int g = 0; file && g < file->GroupCount(); ++g) {
        lines << QStringLiteral("group ") + file->GroupName(g);
        for (int i = 0; i < file->ItemCount(g); ++i) {
            const QString kind = file->ItemKindOf(g, i);
            if (!KindFromElementName(kind)) continue;
            QString caption;
            try {
                caption = file->GetAttr(g, i, "name");
            } catch (const AccessError&) {
            }
            lines << QStringLiteral("item %1 %2 %3").arg(g).arg(kind, caption);
        }
    }
    return lines;
}

RecordingAnnouncements::RecordingAnnouncements(CGlowdeckDoc& doc) {
    QObject::connect(&doc, &CGlowdeckDoc::titleChanged, &context_,
                     [this](const QString& t) { title = t; });
    QObject::connect(&doc, &CGlowdeckDoc::folderChanged, &context_,
                     [this](const QString& f) { folder = f; });
    QObject::connect(&doc, &CGlowdeckDoc::projectOpened, &context_, [this, &doc] {
        ++opened;
        lines = Outline(doc);
    });
}

}  // namespace glowdeck::test
