// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "compile/ProjectCompiler.h"
#include "model/GlowdeckDoc.h"
#include "model/IniFile.h"
#include "model/ProgramFolders.h"
#include "model/ProjectLock.h"

namespace glowdeck {

void PrintOut(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stdout);
}

void PrintErr(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stderr);
}

std::optional<int> ParseNumber(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<double> ParseDecimal(const QString& text, double low, double high) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    // NaN fails both comparisons, so it is refused too.
    if (!ok || !(value >= low && value <= high)) return std::nullopt;
    return value;
}

bool TakeNumber(QStringList& args, const QString& name, int low, int high, int* out) {
    const std::optional<QString> text = TakeOption(args, name);
    if (!text) return true;
    const std::optional<int> value = ParseNumber(*text, low, high);
    if (!value) {
        PrintErr(QCoreApplication::translate("CliSupport",
                                             "%1 takes a whole number from %2 to %3, not \"%4\"")
                     .arg(name)
                     .arg(low)
                     .arg(high)
                     .arg(*text));
        return false;
    }
    *out = *value;
    return true;
}

std::optional<QString> TakeOption(QStringList& args, const QString& name) {
    const auto at = args.indexOf(name);
    if (at < 0 || at + 1 >= args.size()) return std::nullopt;
    const QString value = args[at + 1];
    args.remove(at, 2);
    return value;
}

bool TakeBallOptions(QStringList& args, BallConfig* ball, bool* ballGiven) {
    ball->ballType = 1;
    ball->layer = 0;
    if (ballGiven) *ballGiven = false;
    const std::optional<QString> type = TakeOption(args, QStringLiteral("--ball"));
    if (!type) {
        // The stored ball type; a settings file that cannot be read is
        // reported and the default used.
        const CIniFile ini(ProgramFolders::ForThisProgram().SettingsFile());
        if (const QString problem = ini.UnreadableMessage(); !problem.isEmpty()) PrintErr(problem);
        if (StoredBallType(ini) == 2) ball->ballType = 2;
    } else {
        if (*type != QLatin1String("1") && *type != QLatin1String("2")) {
            PrintErr(QCoreApplication::translate(
                         "CliSupport", "--ball takes 1 (single-layer) or 2 (double-layer), not %1")
                         .arg(*type));
            return false;
        }
        ball->ballType = type->toInt();
        if (ballGiven) *ballGiven = true;
    }
    if (const auto layer = TakeOption(args, QStringLiteral("--layer"))) {
        if (*layer != QLatin1String("inner") && *layer != QLatin1String("outer")) {
            PrintErr(
                QCoreApplication::translate("CliSupport", "--layer takes inner or outer, not %1")
                    .arg(*layer));
            return false;
        }
        ball->layer = *layer == QLatin1String("inner") ? 1 : 0;
    }
    return true;
}

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
