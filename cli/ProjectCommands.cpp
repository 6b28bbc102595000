// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ProjectCommands.h"

#include <QCoreApplication>

#include "base/AccessError.h"
#include "base/MessageSink.h"
#include "cli/CliSupport.h"
#include "model/CapacityChecks.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "model/ItemTemplate.h"

namespace glowdeck {

namespace {

std::optional<ItemKind> KindArgument(const QString& word) {
    if (word == QLatin1String("picture")) return ItemKind::Picture;
    if (word == QLatin1String("animation")) return ItemKind::Animation;
    if (word == QLatin1String("text")) return ItemKind::Text;
    if (word == QLatin1String("interval")) return ItemKind::Interval;
    return std::nullopt;
}

}  // namespace

int RunNew(const QStringList& args) {
    QString root, name;
    bool haveName = false;
    for (int k = 0; k < args.size(); ++k) {
        if (args[k] == QLatin1String("--root") && k + 1 < args.size()) {
            root = args[++k];
        } else if (!haveName) {
            name = args[k];
            haveName = true;
        } else {
            PrintErr(QCoreApplication::translate("ProjectCommands", "unexpected argument: %1")
                         .arg(args[k]));
            return 2;
        }
    }
    if (root.isEmpty() || !haveName) {
        PrintErr(QCoreApplication::translate("ProjectCommands",
                                             "usage: glowdeck-cli new --root DIR NAME"));
        return 2;
    }
    if (!CGlowdeckDoc::IsProjectName(name)) {
        PrintErr(
            QCoreApplication::translate(
                "ProjectCommands",
                "NAME is the project's folder name under DIR, without \"/\", \"\\\" or \"..\": %1")
                .arg(name));
        return 2;
    }
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    doc.SetProjectRoot(root);
    UseCliProjectLock(doc);
    if (const EditResult created = doc.CreateProjectNamed(name); !created) {
        PrintErr(created.message);
        return 1;
    }
    PrintOut(QCoreApplication::translate("ProjectCommands", "created %1").arg(doc.ProjectFolder()));
    return 0;
}

int RunAddGroup(const QStringList& args) {
    if (args.isEmpty() || args.size() > 2) {
        PrintErr(QCoreApplication::translate("ProjectCommands",
                                             "usage: glowdeck-cli add-group PROJECT [NAME]"));
        return 2;
    }
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    if (!OpenProjectForCli(doc, args[0])) return 1;
    const QString refusal = CheckAddGroup(doc);
    if (!refusal.isEmpty()) {
        PrintErr(refusal);
        return 1;
    }
    const QString name = args.size() > 1 ? args[1] : DefaultGroupName();
    if (const EditResult added = doc.NewGroup(name); !added) return PrintErr(added.message), 1;
    PrintOut(QStringLiteral("group %1 %2").arg(doc.ProjectFile()->GroupCount()).arg(name));
    return 0;
}

int RunAdd(const QStringList& args) {
    if (args.size() < 3 || args.size() > 4) {
        PrintErr(QCoreApplication::translate(
            "ProjectCommands",
            "usage: glowdeck-cli add PROJECT GROUP picture|animation|text|interval [NAME]"));
        return 2;
    }
    const std::optional<ItemKind> kind = KindArgument(args[2]);
    if (!kind) {
        PrintErr(
            QCoreApplication::translate("ProjectCommands", "unknown item kind: %1").arg(args[2]));
        return 2;
    }
    const std::optional<int> group = ParseNumber(args[1], 1, MaxGroups);
    if (!group) {
        PrintErr(QCoreApplication::translate("ProjectCommands", "GROUP takes 1 to %1, not %2")
                     .arg(MaxGroups)
                     .arg(args[1]));
        return 2;
    }
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    if (!OpenProjectForCli(doc, args[0])) return 1;
    const int target = *group <= doc.ProjectFile()->GroupCount() ? *group : 0;
    const QString refusal = CheckAddItem(doc, target, *kind);
    if (!refusal.isEmpty()) {
        PrintErr(refusal);
        return 1;
    }
    const QString name = args.size() > 3 ? args[3] : KindInfo(*kind).defaultName;
    if (const EditResult added = doc.NewItem(*kind, target, name); !added)
        return PrintErr(added.message), 1;
    const int item = doc.ProjectFile()->ItemCount(target - 1);
    PrintOut(QStringLiteral("group %1 item %2 %3 %4 %5")
                 .arg(target)
                 .arg(item)
                 .arg(args[2], name, doc.ProjectFile()->GetAttr(target - 1, item - 1, "id")));
    return 0;
}

int RunClean(const QStringList& args) {
    if (args.size() != 1) {
        PrintErr(
            QCoreApplication::translate("ProjectCommands", "usage: glowdeck-cli clean PROJECT"));
        return 2;
    }
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    if (!OpenProjectForCli(doc, args[0])) return 1;
    const image_use::Removal removal = doc.RemoveUnusedImages();
    for (const QString& name : removal.removed)
        PrintOut(QCoreApplication::translate("ProjectCommands", "removed Images/%1").arg(name));
    const auto count = removal.removed.size();
    PrintOut(QCoreApplication::translate("ProjectCommands", "%1 %2 removed, %3 bytes")
                 .arg(count)
                 .arg(count == 1 ? QStringLiteral("file") : QStringLiteral("files"))
                 .arg(removal.bytes));
    if (!removal.ok) return PrintErr(removal.message), 1;
    return 0;
}

}  // namespace glowdeck
