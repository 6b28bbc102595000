// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tool's helpers around an open document (the full
// program's commands only).
#include <QCoreApplication>
#include <QFileInfo>

#include "cli/CliSupport.h"
#include "compile/ProjectCompiler.h"
#include "model/GlowdeckDoc.h"
#include "model/ProjectLock.h"

namespace glowdeck {

void SayIfShowTooLarge(const CGlowdeckDoc& doc) {
    // Measured with the largest columns (21 bytes, the outer layer), as a
    // compile for the single-layer ball would.
    const QString tooLarge = ShowTooLargeMessage(doc, BallConfig{});
    if (!tooLarge.isEmpty()) PrintErr(tooLarge);
}

void UseCliProjectLock(CGlowdeckDoc& doc) {
    // Another command on the same project is waited for (a minute unless
    // GLOWDECK_LOCK_WAIT gives seconds); the desktop program is never waited for.
    constexpr double kMaxLockWaitSeconds = 3600;
    int waitMs = 60000;
    if (qEnvironmentVariableIsSet("GLOWDECK_LOCK_WAIT")) {
        const QString text = qEnvironmentVariable("GLOWDECK_LOCK_WAIT");
        const std::optional<double> seconds = ParseDecimal(text, 0, kMaxLockWaitSeconds);
        if (!seconds)
            throw UsageError{QCoreApplication::translate(
                                 "CliSupport",
                                 "GLOWDECK_LOCK_WAIT takes seconds from 0 to %1 (a fraction "
                                 "allowed), not \"%2\"")
                                 .arg(kMaxLockWaitSeconds)
                                 .arg(text)};
        waitMs = static_cast<int>(*seconds * 1000);
    }
    doc.SetLockPolicy(CProjectLock::CommandLineProgram(), waitMs);
}

bool OpenProjectForCli(CGlowdeckDoc& doc, const QString& folder, bool readOnly) {
    if (!QFileInfo(folder).isDir()) {
        PrintErr(QCoreApplication::translate("CliSupport", "not a project folder: %1").arg(folder));
        return false;
    }
    if (readOnly)
        doc.SetLockPolicy(QString(), 0);
    else
        UseCliProjectLock(doc);
    if (!doc.OpenProjectFolder(folder)) return false;
    if (!QFileInfo::exists(doc.ProjectFilePath())) {
        PrintErr(QCoreApplication::translate("CliSupport", "no Index.prj in %1").arg(folder));
        return false;
    }
    if (!doc.ProjectFile()->Loaded()) {
        PrintErr(QCoreApplication::translate("CliSupport", "cannot read %1: %2")
                     .arg(doc.ProjectFilePath(), doc.ProjectFile()->LoadError()));
        return false;
    }
    return true;
}

}  // namespace glowdeck
