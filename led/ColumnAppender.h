// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace glowdeck {

class IMessageSink;

// Packed LED columns held by a converter: `frames` frames of `width` columns
// of `columnBytes` bytes each, back to back.
struct PackedColumns {
    const std::uint8_t* data = nullptr;
    int frames = 0;
    int width = 0;
    int columnBytes = 21;
};

// The shape the index promised for an item, when the caller wants the data
// fitted to it: extra columns or frames are dropped, missing ones are added
// dark (all bits set, every LED off).
struct ColumnShape {
    int frames = 1;
    int width = 0;
};

// The bytes of the columns, fitted to `fitTo` when given.
QByteArray FitColumns(const PackedColumns& columns, const ColumnShape* fitTo = nullptr);

// Appends the columns to the end of an existing data file (never creating or
// truncating it). When the file cannot be opened shows "数据文件未打开" and
// returns false.
bool AppendColumns(const QString& dataFile, const PackedColumns& columns, IMessageSink* messages,
                   const ColumnShape* fitTo = nullptr);

}  // namespace glowdeck
