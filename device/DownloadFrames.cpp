// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DownloadFrames.h"

#include "device/Crc16.h"

namespace glowdeck::frames {

std::optional<Bytes> InitCommand(const BallConfig& ball) {
    if (ball.ballType == 1) return Bytes{0xA6, 0x55, 0xAA};
    if (ball.ballType == 2)
        return Bytes{0xA6, 0x55, 0xAA, static_cast<std::uint8_t>(ball.layer == 1 ? 0x02 : 0x01)};
    return std::nullopt;
}

Bytes Packet(std::uint16_t sequence, const std::uint8_t* payload, int count) {
    Bytes packet;
    packet.reserve(static_cast<size_t>(count) + 6);
    packet.push_back(PacketMarker);
    packet.push_back(static_cast<std::uint8_t>(sequence & 0xFF));
    packet.push_back(static_cast<std::uint8_t>(sequence >> 8));
    packet.push_back(static_cast<std::uint8_t>(count));
    packet.insert(packet.end(), payload, payload + count);
    const std::uint16_t crc = Crc16(packet.data(), static_cast<std::uint8_t>(count + 4));
    packet.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    packet.push_back(static_cast<std::uint8_t>(crc >> 8));
    return packet;
}

Bytes EndCommand() { return Bytes{PacketMarker, 0xFF, 0xFF}; }

Plan PlanFor(long long length) {
    const long long full = length / PayloadBytes;
    return {static_cast<int>(full), static_cast<int>(length - full * PayloadBytes)};
}

QString FactoryFileName(const BallConfig& ball) {
    if (ball.ballType == 2)
        return ball.layer == 1 ? QStringLiteral("factory2.bin") : QStringLiteral("factory1.bin");
    return QStringLiteral("factory.bin");
}

QString FactoryFile(const QString& programFolder, const BallConfig& ball) {
    return programFolder + QLatin1Char('/') + FactoryFileName(ball);
}

}  // namespace glowdeck::frames
