// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "base/BallConfig.h"

namespace glowdeck {

class IMessageSink;

// Builds the index at the head of data.bin: the magic byte, the group count,
// ten group header offsets, then one block per group with its animation
// records. Offsets count from the start of the file; fields are little-endian.
class CIndexBuilder {
public:
    static constexpr int MaxGroups = 10;
    static constexpr int MaxAnimations = 50;
    static constexpr int MaxFrames = 50;
    static constexpr int HeaderBytes = 22;

    explicit CIndexBuilder(IMessageSink* messages = nullptr) : messages_(messages) { Reset(); }

    // Column bytes are taken from this ball at every call that counts data.
    void SetBall(const BallConfig& ball) { ball_ = ball; }

    void Reset();
    void AddGroup();
    void AddColumns(std::uint16_t columns);
    void AddAnimation(std::uint8_t loop);
    void AddFrame(std::uint16_t columns, std::uint16_t delay);
    void Finalise();
    // Creates or truncates `path` and writes the index.
    // `writeError` is set when the file opened but a write failed (full disk).
    [[nodiscard]] bool WriteIndex(const QString& path, QString* writeError = nullptr) const;

    bool Finalised() const { return finalised_; }
    // The serialised index (valid once finalised).
    QByteArray IndexBytes() const;
    std::uint16_t IndexLength() const { return finalised_ ? finalIndexLength_ : indexLength_; }
    std::uint32_t DataLength() const { return finalised_ ? finalDataLength_ : dataLength_; }
    int GroupCount() const { return groupCount_; }

private:
    struct Frame {
        std::uint16_t columns, delay;
    };
    struct Animation {
        std::uint32_t dataOffset = 0;
        std::uint16_t columnSum = 0;
        std::uint8_t loop = 0;
        std::vector<Frame> frames;
    };
    struct Group {
        std::uint32_t dataOffset = 0;
        std::uint16_t columns = 0;
        std::vector<Animation> animations;
    };

    IMessageSink* messages_;
    BallConfig ball_;
    bool finalised_ = false;
    int groupCount_ = 0;
    std::array<std::uint16_t, MaxGroups> headerOffsets_{};
    std::array<Group, MaxGroups> groups_{};
    std::uint32_t dataLength_ = 0;
    std::uint16_t indexLength_ = HeaderBytes;
    std::vector<std::uint8_t> buffer_;
    std::uint16_t finalIndexLength_ = 0;
    std::uint32_t finalDataLength_ = 0;
};

// Frame delay in milliseconds from a stored interval (hundredths) and the
// item's speed: interval × 10 − speed, kept within 10..10000.
std::uint16_t FrameDelayMs(int interval, int speed);

}  // namespace glowdeck
