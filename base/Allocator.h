// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glowdeck {

// Keeps freed memory in the process instead of returning it to the system
// after every picture: a compile decodes hundreds of pictures of a few MB
// each, and trimming and re-mapping that memory each time costs several per
// cent of the compile. Call once at start.
void KeepFreedMemoryForReuse();

}  // namespace glowdeck
