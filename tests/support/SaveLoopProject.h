// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace glowdeck {
class CProjectFile;
}

namespace glowdeck::test {

// Fills `file` with one of two large, distinct, deterministic projects.
void BuildSaveLoopProject(CProjectFile& file, int variant);

}  // namespace glowdeck::test
