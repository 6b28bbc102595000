// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <optional>

#include "base/BallConfig.h"

namespace glowdeck {

class CGlowdeckDoc;

// Reads "--ball 1|2" and "--layer inner|outer" out of `args` (removing them).
// The ball type defaults to the "TYPE" of the program's setting.ini, else 1;
// the layer to outer. False, with a message printed, on a bad value.
bool TakeBallOptions(QStringList& args, BallConfig* ball, bool* ballGiven = nullptr);
// Removes "--NAME VALUE" from `args`; nullopt when absent.
std::optional<QString> TakeOption(QStringList& args, const QString& name);

// Shared helpers of the command-line tool.
void PrintOut(const QString& text);
void PrintErr(const QString& text);
// A whole decimal number within low..high, or nullopt.
std::optional<int> ParseNumber(const QString& text, int low, int high);
// A decimal number (a fraction allowed) within low..high, or nullopt.
std::optional<double> ParseDecimal(const QString& text, double low, double high);
// Removes "--NAME VALUE" from `args` and reads VALUE into `out` as a whole
// number within low..high. False, with the allowed range printed, when it is
// not; true with `out` unchanged when the option is absent.
bool TakeNumber(QStringList& args, const QString& name, int low, int high, int* out);
// A usage error found after the command line was read (a bad value in the
// environment); main prints it and exits 2.
struct UsageError {
    QString message;
};
// Makes `doc` take project locks as the command-line tool (waiting for other
// commands, refusing a project open in the desktop program). Throws
// UsageError when GLOWDECK_LOCK_WAIT is set to anything but 0..3600 seconds.
void UseCliProjectLock(CGlowdeckDoc& doc);
// After an edit that was stored: prints the compile's message on stderr when
// the show no longer fits the ball (the edit is kept; the exit status is not
// changed).
void SayIfShowTooLarge(const CGlowdeckDoc& doc);
// Opens the project folder into `doc` under the project lock; prints why and
// returns false when it holds no readable project file. A read-only command
// takes no lock.
bool OpenProjectForCli(CGlowdeckDoc& doc, const QString& folder, bool readOnly = false);

}  // namespace glowdeck
