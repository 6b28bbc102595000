// SPDX-License-Identifier: GPL-3.0-or-later
#include "compile/DataFileReader.h"

namespace glowdeck {

namespace {

// Bounds-checked little-endian reads over the file's bytes.
class Cursor {
public:
    explicit Cursor(const QByteArray& data) : data_(data) {}
    bool Has(int bytes) const { return pos_ >= 0 && pos_ + bytes <= data_.size(); }
    std::uint32_t Read(int bytes) {
        std::uint32_t value = 0;
        for (int k = 0; k < bytes; ++k)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data_[pos_ + k]))
                     << (8 * k);
        pos_ += bytes;
        return value;
    }
    int Pos() const { return pos_; }
    void Seek(int pos) { pos_ = pos; }

private:
    const QByteArray& data_;
    int pos_ = 0;
};

}  // namespace

bool ReadDataIndex(const QByteArray& data, int columnBytes, DataIndex* index, QStringList* problems,
                   QString* error) {
    *index = DataIndex();
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (data.size() < 22)
        return fail(QStringLiteral("too short for a data file: %1 bytes, at least 22 are needed")
                        .arg(data.size()));
    const unsigned char magic = static_cast<unsigned char>(data[0]);
    if (magic != 0xAA)
        return fail(QStringLiteral("not a data file: the first byte is 0x%1, not 0xAA")
                        .arg(magic, 2, 16, QLatin1Char('0')));
    Cursor in(data);
    in.Seek(1);
    const int groups = static_cast<int>(in.Read(1));
    if (groups > 10)
        return fail(QStringLiteral("not a data file: %1 groups (at most 10)").arg(groups));
    std::uint32_t headers[10];
    for (std::uint32_t& h : headers) h = in.Read(2);
    for (int g = groups; g < 10; ++g)
        if (headers[g] != 0)
            problems->append(
                QStringLiteral("unused header offset %1 is %2, not 0").arg(g + 1).arg(headers[g]));

    for (int g = 0; g < groups; ++g) {
        DataIndex::Group group;
        group.headerOffset = static_cast<int>(headers[g]);
        if (group.headerOffset != in.Pos())
            problems->append(
                QStringLiteral("group %1: header offset %2, but its block follows at %3")
                    .arg(g + 1)
                    .arg(group.headerOffset)
                    .arg(in.Pos()));
        if (!in.Has(6))
            return fail(QStringLiteral("group %1: the index ends inside its block").arg(g + 1));
        group.dataOffset = in.Read(3);
        group.columns = static_cast<int>(in.Read(2));
        const int animations = static_cast<int>(in.Read(1));
        if (!in.Has(3 * animations))
            return fail(
                QStringLiteral("group %1: the index ends inside its animation offsets").arg(g + 1));
        group.animations.resize(static_cast<size_t>(animations));
        for (auto& a : group.animations) a.dataOffset = in.Read(3);
        for (int k = 0; k < animations; ++k) {
            auto& a = group.animations[static_cast<size_t>(k)];
            if (!in.Has(4))
                return fail(
                    QStringLiteral("group %1 animation %2: the index ends inside its record")
                        .arg(g + 1)
                        .arg(k + 1));
            const int frames = static_cast<int>(in.Read(1));
            a.columnSum = static_cast<int>(in.Read(2));
            a.loop = static_cast<int>(in.Read(1));
            if (!in.Has(4 * frames))
                return fail(
                    QStringLiteral("group %1 animation %2: the index ends inside its frames")
                        .arg(g + 1)
                        .arg(k + 1));
            int sum = 0;
            for (int f = 0; f < frames; ++f) {
                DataIndex::Frame frame;
                frame.columns = static_cast<int>(in.Read(2));
                frame.delay = static_cast<int>(in.Read(2));
                sum += frame.columns;
                if (frame.delay < 10 || frame.delay > 10000)
                    problems->append(
                        QStringLiteral(
                            "group %1 animation %2 frame %3: delay %4 ms outside 10..10000")
                            .arg(g + 1)
                            .arg(k + 1)
                            .arg(f + 1)
                            .arg(frame.delay));
                a.frames.push_back(frame);
            }
            if ((sum & 0xFFFF) != a.columnSum)
                problems->append(
                    QStringLiteral("group %1 animation %2: %3 columns, but its frames hold %4")
                        .arg(g + 1)
                        .arg(k + 1)
                        .arg(a.columnSum)
                        .arg(sum));
        }
        index->totalColumns += group.columns;
        index->groups.push_back(std::move(group));
    }
    index->indexLength = in.Pos();
    const long long dataBytes = data.size() - index->indexLength;

    int b = columnBytes;
    if (b == 0) {
        if (index->totalColumns == 0 || dataBytes == index->totalColumns * 21)
            b = 21;
        else if (dataBytes == index->totalColumns * 14)
            b = 14;
    }
    index->columnBytes = b;
    if (b == 0) {
        problems->append(QStringLiteral("the file holds %1 bytes of columns: neither 21 nor 14 "
                                        "bytes for each of the %2 columns of the index")
                             .arg(dataBytes)
                             .arg(index->totalColumns));
        return true;
    }
    if (dataBytes != index->totalColumns * b)
        problems->append(
            QStringLiteral("the file is %1 bytes; the index promises %2 + %3 × %4 = %5")
                .arg(data.size())
                .arg(index->indexLength)
                .arg(index->totalColumns)
                .arg(b)
                .arg(index->indexLength + index->totalColumns * b));
    long long expected = index->indexLength;
    for (size_t g = 0; g < index->groups.size(); ++g) {
        const auto& group = index->groups[g];
        if (group.dataOffset != expected)
            problems->append(
                QStringLiteral("group %1: data offset %2, but the columns before it end at %3")
                    .arg(g + 1)
                    .arg(group.dataOffset)
                    .arg(expected));
        const long long end =
            static_cast<long long>(group.dataOffset) + static_cast<long long>(group.columns) * b;
        long long previousEnd = group.dataOffset;
        for (size_t k = 0; k < group.animations.size(); ++k) {
            const auto& a = group.animations[k];
            const long long aEnd = a.dataOffset + static_cast<long long>(a.columnSum) * b;
            if (a.dataOffset < previousEnd || aEnd > end)
                problems->append(QStringLiteral("group %1 animation %2: data %3..%4 lies outside "
                                                "its group's free columns %5..%6")
                                     .arg(g + 1)
                                     .arg(k + 1)
                                     .arg(a.dataOffset)
                                     .arg(aEnd)
                                     .arg(previousEnd)
                                     .arg(end));
            previousEnd = aEnd;
        }
        expected = end;
    }
    return true;
}

}  // namespace glowdeck
