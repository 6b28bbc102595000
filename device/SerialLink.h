// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace glowdeck {

// Where the download protocol writes its blocks.
class ISerialLink {
public:
    virtual ~ISerialLink() = default;
    virtual bool IsOpen() const = 0;
    // Writes one block after purging both queues; true when every byte left.
    virtual bool Write(const std::uint8_t* bytes, int length) = 0;
};

}  // namespace glowdeck
