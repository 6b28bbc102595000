#include "cli/CliSupport.h"

#include <QFileInfo>
#include <cstdio>

#include "model/GlowdeckDoc.h"

namespace glowdeck {

void PrintOut(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stdout);
}

void PrintErr(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stderr);
}

std::optional<int> ParseNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value <= 0) return std::nullopt;
    return value;
}

bool OpenProjectForCli(CGlowdeckDoc& doc, const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        PrintErr(QStringLiteral("not a project folder: %1").arg(folder));
        return false;
    }
    doc.OpenProjectFolder(folder);
    if (!QFileInfo::exists(doc.projectFilePath)) {
        PrintErr(QStringLiteral("no Index.prj in %1").arg(folder));
        return false;
    }
    if (!doc.ProjectFile()->Loaded()) {
        PrintErr(QStringLiteral("cannot read %1: %2")
                     .arg(doc.projectFilePath, doc.ProjectFile()->LoadError()));
        return false;
    }
    return true;
}

}  // namespace glowdeck
