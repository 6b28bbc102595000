// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace glowdeck {

struct DataIndex;

// The commands that only read, on QtCore alone: glowdeck-cli list, and
// inspect without its picture.
int RunList(const QStringList& args);

// Draws the groups of a checked data.bin into the PNG `path`; false when it
// cannot be written.
using GroupPictureWriter = bool (*)(const QByteArray& data, const DataIndex& index, int ballType,
                                    const QString& path);
// glowdeck-cli inspect. Without a writer (the reading program) a request
// for the picture returns kRunInFullProgram before anything is printed.
int InspectDataFile(const QStringList& arguments, GroupPictureWriter writePicture);
// compile in the reading program: a compile with the column cache whose
// inputs and data.bin are those of the compile stamp (nothing to do) is
// answered here; any other is handed over.
int RunCompileReading(const QStringList& args);
// inspect in the reading program.
int RunInspectReading(const QStringList& args);

}  // namespace glowdeck
