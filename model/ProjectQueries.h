// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <cstdint>

namespace glowdeck {

class CProjectFile;

// Read-only questions about a project file, on QtCore alone: the commands
// that only read a project (glowdeck-cli list) answer them without loading
// the drawing libraries.

// The project file of a folder (ending in '/'): "Index.prj", or any file of
// that name in another letter case; "Index.prj" when there is none.
QString ProjectFileIn(const QString& folder);

// The data-size account: 21 bytes per column of every item. Throws
// AccessError for an item whose length is damaged.
std::uint32_t DataBytesOf(const CProjectFile& file);

namespace item_ops {
// Whether item (g, i) (0-based) is a picture or an animation, the kinds
// that may dither.
bool CanDither(const CProjectFile& file, int g, int i);
// Whether item (g, i) dithers: a picture or an animation whose "dither" is 1.
bool Dithers(const CProjectFile& file, int g, int i);
}  // namespace item_ops

}  // namespace glowdeck
