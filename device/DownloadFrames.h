// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/BallConfig.h"

namespace glowdeck {

using Bytes = std::vector<std::uint8_t>;

// The frames of the one-way download protocol.
namespace frames {

constexpr std::uint8_t PacketMarker = 0xA3;
constexpr int PayloadBytes = 249;  // of a full packet
constexpr int FullPacketBytes = 255;

// A6 55 AA, plus 02 (inner) or 01 (outer) on a double-layer ball; nothing
// for a ball type that is neither 1 nor 2.
std::optional<Bytes> InitCommand(const BallConfig& ball);
// A3, sequence (LE), n, the n payload bytes, CRC-16/MODBUS of all before (LE).
Bytes Packet(std::uint16_t sequence, const std::uint8_t* payload, int count);
// A3 FF FF.
Bytes EndCommand();

// How a file of `length` bytes is cut: full packets and the bytes of the
// short last packet (0 when there is none).
struct Plan {
    int fullPackets;
    int rest;
};
Plan PlanFor(long long length);

// The factory file of a ball: "factory.bin", "factory1.bin" (outer) or
// "factory2.bin" (inner); FactoryFile puts it in `programFolder`.
QString FactoryFileName(const BallConfig& ball);
QString FactoryFile(const QString& programFolder, const BallConfig& ball);

}  // namespace frames
}  // namespace glowdeck
