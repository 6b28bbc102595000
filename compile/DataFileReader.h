// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace glowdeck {

// The index of a data.bin as read back from its bytes.
struct DataIndex {
    struct Frame {
        int columns = 0;
        int delay = 0;  // ms
    };
    struct Animation {
        std::uint32_t dataOffset = 0;
        int columnSum = 0;
        int loop = 0;
        std::vector<Frame> frames;
    };
    struct Group {
        int headerOffset = 0;
        std::uint32_t dataOffset = 0;
        int columns = 0;
        std::vector<Animation> animations;
    };
    std::vector<Group> groups;
    int indexLength = 0;  // bytes up to the end of the last group block
    long long totalColumns = 0;
    int columnBytes = 0;  // 21 or 14, as inferred or given; 0 when unknown
};

// Reads the index of `data`. False (with `error`) when the bytes are not a
// data file at all (too short, wrong magic, blocks running past the end).
// Otherwise every place where offsets or the file length disagree with the
// index is added to `problems`. `columnBytes` 0 infers 21 or 14 from the length.
bool ReadDataIndex(const QByteArray& data, int columnBytes, DataIndex* index, QStringList* problems,
                   QString* error);

}  // namespace glowdeck
