// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>

namespace glowdeck {

constexpr int LedRows = 56;
// Bytes per column in the buffers converters keep: enough for either format.
constexpr int BufferColumnBytes = 21;

// The wiring of the LED driver boards: bit position (1-based) of each row and
// channel in a packed column. Single and outer: entry 3 × row + channel
// (red, green, blue); inner: entry 2 × row + channel (red, green).
extern const std::array<std::uint8_t, 168> LedOrderSingle;
extern const std::array<std::uint8_t, 168> LedOrderOuter;
extern const std::array<std::uint8_t, 112> LedOrderInner;

enum class LedTable { Single, Outer, Inner };

// The geometry of a packed column for a table.
struct ColumnLayout {
    const std::uint8_t* order;  // entry channels × row + channel
    int channels;               // 3, or 2 on the inner table
    int columnBytes;            // 21, or 14 on the inner table
};
ColumnLayout LayoutOf(LedTable table);

}  // namespace glowdeck
