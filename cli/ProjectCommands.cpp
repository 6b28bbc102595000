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

QString KindWord(const QString& elementName) {
    const auto kind = KindFromElementName(elementName);
    if (!kind)
        return QCoreApplication::translate("ProjectCommands", "unknown <%1>").arg(elementName);
    switch (*kind) {
        case ItemKind::Picture:
            return QStringLiteral("picture");
        case ItemKind::Animation:
            return QStringLiteral("animation");
        case ItemKind::Text:
            return QStringLiteral("text");
        case ItemKind::Interval:
            break;
    }
    return QStringLiteral("interval");
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

int RunList(const QStringList& args) {
    if (args.size() != 1) {
        PrintErr(
            QCoreApplication::translate("ProjectCommands", "usage: glowdeck-cli list PROJECT"));
        return 2;
    }
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    if (!OpenProjectForCli(doc, args[0], /*readOnly=*/true)) return 1;
    const CProjectFile& file = *doc.ProjectFile();
    PrintOut(QStringLiteral("project %1 (%2)").arg(file.ProjectName(), doc.ProjectFolder()));
    int problems = 0;
    for (int g = 0; g < file.GroupCount(); ++g) {
        PrintOut(QStringLiteral("group %1 %2").arg(g + 1).arg(file.GroupName(g)));
        for (int i = 0; i < file.ItemCount(g); ++i) {
            const QString element = file.ItemKindOf(g, i);
            QString line = QStringLiteral("  %1 %2").arg(i + 1).arg(KindWord(element));
            if (KindFromElementName(element)) {
                try {
                    line += QCoreApplication::translate("ProjectCommands", " %1 id=%2 length=%3")
                                .arg(file.GetAttr(g, i, "name"), file.ItemId(g, i))
                                .arg(file.GetInt(g, i, "length"));
                    if (item_ops::Dithers(file, g, i)) line += QStringLiteral(" dither");
                } catch (const AccessError& e) {
                    line += QCoreApplication::translate("ProjectCommands", " (damaged: %1)")
                                .arg(QString::fromUtf8(e.what()));
                    ++problems;
                }
            }
            PrintOut(line);
        }
    }
    try {
        doc.RecomputeTotalDataBytes();
    } catch (const AccessError& e) {
        PrintErr(QString::fromUtf8(e.what()));
        return 1;
    }
    PrintOut(QStringLiteral("data %1 bytes of %2 (%3%)")
                 .arg(doc.TotalDataBytes())
                 .arg(MaxTotalDataBytes)
                 .arg(100.0 * doc.TotalDataBytes() / MaxTotalDataBytes, 0, 'f', 1));
    return problems ? 1 : 0;
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
