// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>
#include <vector>

#include "base/BallConfig.h"
#include "led/LedOrder.h"

namespace glowdeck {

// One animation item of a group: where its frames lie among the group's
// columns and how long each stays.
struct ShowAnimation {
    int firstColumn = 0;            // of frame 0, counted in the group's columns
    std::vector<int> frameColumns;  // per frame
    std::vector<int> delays;        // per frame, ms (as compiled: 10..10000)
    int loop = 1;                   // as stored; 0 plays once like 1

    int FrameStart(int frame) const;  // first group column of `frame`
    int Period() const;               // ms of one pass over the frames
    int Plays() const { return loop < 1 ? 1 : loop; }
    long long RunMs() const { return static_cast<long long>(Period()) * Plays(); }
    // The frame shown `ms` after the group began: the frames in turn for
    // the loop count, then the last frame stays.
    int FrameAt(long long ms) const;
};

// One group as compiled: every stored column (animation frames side by
// side) in the ball's eight colours, and its animations.
struct ShowGroup {
    QImage columns;  // stored columns × 56, RGB32, pure 0/255 channels
    std::vector<ShowAnimation> animations;

    int StoredColumns() const { return columns.width(); }
    // How long the animations run: the longest of them; 0 without any.
    long long RunMs() const;
    // The group's columns as the ball shows them `ms` after the group began:
    // still columns as stored, each animation by the frame it shows then.
    // Each entry is a stored column.
    std::vector<int> StripAt(long long ms) const;
};

// The compiled show: the groups of a data.bin read through its index and
// unpacked with the LED order table of the ball and layer.
class CShow {
public:
    // False (with `error`) when the bytes are no data file, or when the
    // index does not fit the file for this ball and layer.
    static std::optional<CShow> Read(const QByteArray& data, const BallConfig& ball,
                                     QString* error);

    const std::vector<ShowGroup>& Groups() const { return groups_; }
    LedTable Table() const { return table_; }
    bool Empty() const { return groups_.empty(); }

private:
    std::vector<ShowGroup> groups_;
    LedTable table_ = LedTable::Single;
};

// The table a ball and layer's data is packed with.
LedTable TableOf(const BallConfig& ball);

}  // namespace glowdeck
