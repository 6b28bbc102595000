// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "model/IniFile.h"
#include "model/ProgramFolders.h"

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

}  // namespace glowdeck
