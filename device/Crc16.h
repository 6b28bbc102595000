// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace glowdeck {

// CRC-16/MODBUS: start FFFF, reflected polynomial A001, no final XOR. The
// count is an 8-bit value as in the packets (at most 255 bytes); 0 gives FFFF.
std::uint16_t Crc16(const std::uint8_t* data, std::uint8_t count);

}  // namespace glowdeck
