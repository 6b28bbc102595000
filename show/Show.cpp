// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/Show.h"

#include <algorithm>
#include <numeric>

#include "compile/DataFileReader.h"
#include "led/LedUnpacker.h"

namespace glowdeck {

LedTable TableOf(const BallConfig& ball) {
    if (ball.TwoChannel()) return LedTable::Inner;
    return ball.ballType == 2 ? LedTable::Outer : LedTable::Single;
}

int ShowAnimation::FrameStart(int frame) const {
    return firstColumn + std::accumulate(frameColumns.begin(), frameColumns.begin() + frame, 0);
}

int ShowAnimation::Period() const { return std::accumulate(delays.begin(), delays.end(), 0); }

int ShowAnimation::FrameAt(long long ms) const {
    const int frames = static_cast<int>(delays.size());
    if (frames == 0) return 0;
    const long long period = Period();
    if (period <= 0 || ms >= RunMs() || ms < 0) return ms < 0 ? 0 : frames - 1;
    long long into = ms % period;
    for (int f = 0; f < frames; ++f) {
        if (into < delays[f]) return f;
        into -= delays[f];
    }
    return frames - 1;
}

long long ShowGroup::RunMs() const {
    long long run = 0;
    for (const ShowAnimation& a : animations) run = std::max(run, a.RunMs());
    return run;
}

std::vector<int> ShowGroup::StripAt(long long ms) const {
    std::vector<int> strip;
    strip.reserve(static_cast<size_t>(StoredColumns()));
    int column = 0;
    for (const ShowAnimation& a : animations) {
        for (; column < a.firstColumn && column < StoredColumns(); ++column)
            strip.push_back(column);
        const int frame = a.FrameAt(ms);
        const int start = a.FrameStart(frame);
        for (int x = 0; x < a.frameColumns[frame]; ++x)
            if (start + x < StoredColumns()) strip.push_back(start + x);
        column = std::max(column, a.FrameStart(static_cast<int>(a.frameColumns.size())));
    }
    for (; column < StoredColumns(); ++column) strip.push_back(column);
    return strip;
}

std::optional<CShow> CShow::Read(const QByteArray& data, const BallConfig& ball, QString* error) {
    DataIndex index;
    QStringList problems;
    const int columnBytes = ball.ColumnBytes();
    if (!ReadDataIndex(data, columnBytes, &index, &problems, error)) return std::nullopt;
    if (!problems.isEmpty()) {
        // Read as another layer's file, or damaged: either way the columns
        // would be drawn from the wrong bytes.
        if (error) *error = problems.join(QStringLiteral("; "));
        return std::nullopt;
    }
    CShow show;
    show.table_ = TableOf(ball);
    for (const DataIndex::Group& g : index.groups) {
        ShowGroup group;
        group.columns = UnpackColumns(data, g.dataOffset, g.columns, show.table_);
        for (const DataIndex::Animation& a : g.animations) {
            ShowAnimation animation;
            animation.firstColumn = static_cast<int>((a.dataOffset - g.dataOffset) /
                                                     static_cast<unsigned>(columnBytes));
            animation.loop = a.loop;
            for (const DataIndex::Frame& f : a.frames) {
                animation.frameColumns.push_back(f.columns);
                animation.delays.push_back(f.delay);
            }
            if (!animation.delays.empty()) group.animations.push_back(std::move(animation));
        }
        show.groups_.push_back(std::move(group));
    }
    return show;
}

}  // namespace glowdeck
