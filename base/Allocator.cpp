// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Allocator.h"

#include <malloc.h>

namespace glowdeck {

void KeepFreedMemoryForReuse() {
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
}

}  // namespace glowdeck
