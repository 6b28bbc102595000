// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "model/ItemKind.h"

namespace glowdeck {

class CGlowdeckDoc;

// The checks the add commands make before they call the document, in their
// order. Each returns the message to show, or an empty text when the add may go on.
QString CheckAddGroup(const CGlowdeckDoc& doc);
// `group` is 1-based; 0 means there is no target group. A damaged project
// (an item without "length") is refused with the damage.
QString CheckAddItem(CGlowdeckDoc& doc, int group, ItemKind kind);

// True when the compiled data.bin is not the project as it is now: edits
// since the last compile, no data.bin, or a project file saved after it.
bool CompiledDataStale(const CGlowdeckDoc& doc);

}  // namespace glowdeck
