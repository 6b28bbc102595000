#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace glowdeck {

class CGlowdeckDoc;

// Shared helpers of the command-line tool.
void PrintOut(const QString& text);
void PrintErr(const QString& text);
// A positive decimal number, or nullopt.
std::optional<int> ParseNumber(const QString& text);
// Opens the project folder into `doc`; prints why and returns false when it
// holds no readable project file.
bool OpenProjectForCli(CGlowdeckDoc& doc, const QString& folder);

}  // namespace glowdeck
