// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <mutex>
#include <vector>

#include "device/SerialLink.h"

namespace glowdeck::test {

// A serial link that keeps every block and every pause in one timeline:
// a block is its bytes, a pause is {ms} with a negative marker.
class RecordingLink : public ISerialLink {
public:
    struct Entry {
        std::vector<std::uint8_t> bytes;  // a block
        int pauseMs = -1;                 // or a pause
    };
    bool IsOpen() const override { return open; }
    bool Write(const std::uint8_t* bytes, int length) override {
        std::lock_guard<std::mutex> lock(mutex);
        timeline.push_back({std::vector<std::uint8_t>(bytes, bytes + length), -1});
        if (onWrite) return onWrite(static_cast<int>(Blocks().size()));
        return true;
    }
    void Pause(int ms) {
        std::lock_guard<std::mutex> lock(mutex);
        timeline.push_back({{}, ms});
    }
    std::vector<std::vector<std::uint8_t>> Blocks() const {
        std::vector<std::vector<std::uint8_t>> blocks;
        for (const Entry& e : timeline)
            if (e.pauseMs < 0) blocks.push_back(e.bytes);
        return blocks;
    }

    bool open = true;
    std::function<bool(int block)> onWrite;  // called with the 1-based block number
    std::vector<Entry> timeline;
    mutable std::mutex mutex;
};

}  // namespace glowdeck::test
