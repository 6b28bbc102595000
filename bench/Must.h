// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "model/EditResult.h"

// A benchmark cannot go on without the project it builds: a failed edit
// ends it with the reason.
inline void Must(const glowdeck::EditResult& result) {
    if (result) return;
    std::fprintf(stderr, "%s\n", qPrintable(result.message));
    std::exit(1);
}

// The same for a step that says only whether it worked.
inline void Must(bool done, const char* what) {
    if (done) return;
    std::fprintf(stderr, "%s failed\n", what);
    std::exit(1);
}

// The middle value of a benchmark's runs (0 for none).
inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
