// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glowdeck {

// The ball the data is made for: type 1 single-layer, 2 double-layer (0 not
// chosen yet); layer 1 inner, 0 outer (meaningful on a double-layer ball only).
struct BallConfig {
    int ballType = 1;
    int layer = 0;

    bool TwoChannel() const { return ballType == 2 && layer == 1; }
    // Bytes of one packed LED column: 14 on the inner layer, else 21.
    int ColumnBytes() const { return TwoChannel() ? 14 : 21; }
};

inline int ColumnBytes(int ballType, int layer) {
    return BallConfig{ballType, layer}.ColumnBytes();
}

}  // namespace glowdeck
