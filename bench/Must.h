#pragma once
#include <cstdio>
#include <cstdlib>

#include "model/EditResult.h"

// A benchmark cannot go on without the project it builds: a failed edit
// ends it with the reason.
inline void Must(const glowdeck::EditResult& result) {
    if (result) return;
    std::fprintf(stderr, "%s\n", qPrintable(result.message));
    std::exit(1);
}
