// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/Crc16.h"

namespace glowdeck {

std::uint16_t Crc16(const std::uint8_t* data, std::uint8_t count) {
    std::uint16_t crc = 0xFFFF;
    for (int k = 0; k < count; ++k) {
        crc ^= data[k];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

}  // namespace glowdeck
