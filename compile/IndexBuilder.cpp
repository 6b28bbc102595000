// SPDX-License-Identifier: GPL-3.0-or-later
#include "compile/IndexBuilder.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include "base/MessageSink.h"

namespace glowdeck {

namespace {

constexpr size_t kBufferBytes = 65536;

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k)
        out.push_back(static_cast<std::uint8_t>((value >> (8 * k)) & 0xFF));
}

}  // namespace

std::uint16_t FrameDelayMs(int interval, int speed) {
    const long long delay = static_cast<long long>(interval) * 10 - speed;
    return static_cast<std::uint16_t>(std::clamp<long long>(delay, 10, 10000));
}

void CIndexBuilder::Reset() {
    finalised_ = false;
    groupCount_ = 0;
    headerOffsets_.fill(0);
    groups_.fill(Group{});
    dataLength_ = 0;
    indexLength_ = HeaderBytes;
    buffer_.clear();
    buffer_.push_back(0xAA);
    finalIndexLength_ = 0;
    finalDataLength_ = 0;
}

void CIndexBuilder::AddGroup() {
    if (finalised_) Reset();
    if (groupCount_ >= MaxGroups) return;  // later items count to the tenth group
    Group& group = groups_[groupCount_];
    group.dataOffset = dataLength_;
    headerOffsets_[groupCount_] = indexLength_;
    indexLength_ += 6;
    ++groupCount_;
}

void CIndexBuilder::AddColumns(std::uint16_t columns) {
    if (groupCount_ < 1) return;
    Group& group = groups_[groupCount_ - 1];
    group.columns = static_cast<std::uint16_t>(group.columns + columns);
    dataLength_ += static_cast<std::uint32_t>(columns) * ball_.ColumnBytes();
}

void CIndexBuilder::AddAnimation(std::uint8_t loop) {
    if (groupCount_ < 1) return;
    Group& group = groups_[groupCount_ - 1];
    if (static_cast<int>(group.animations.size()) >= MaxAnimations) return;
    Animation animation;
    animation.dataOffset = dataLength_;
    animation.loop = loop;
    group.animations.push_back(animation);
    indexLength_ += 7;
}

void CIndexBuilder::AddFrame(std::uint16_t columns, std::uint16_t delay) {
    if (groupCount_ < 1) return;
    Group& group = groups_[groupCount_ - 1];
    if (group.animations.empty()) return;
    Animation& animation = group.animations.back();
    if (static_cast<int>(animation.frames.size()) >= MaxFrames) return;
    animation.frames.push_back({columns, delay});
    animation.columnSum = static_cast<std::uint16_t>(animation.columnSum + columns);
    group.columns = static_cast<std::uint16_t>(group.columns + columns);
    indexLength_ += 4;
    dataLength_ += static_cast<std::uint32_t>(columns) * ball_.ColumnBytes();
}

void CIndexBuilder::Finalise() {
    if (finalised_) {
        if (messages_)
            messages_->Warn(QCoreApplication::translate("IndexBuilder", "重复调用计算！"));
        return;
    }
    finalIndexLength_ = indexLength_;
    finalDataLength_ = dataLength_;
    buffer_.clear();
    buffer_.push_back(0xAA);
    buffer_.push_back(static_cast<std::uint8_t>(groupCount_));
    for (std::uint16_t offset : headerOffsets_) Put(buffer_, offset, 2);
    for (int g = 0; g < groupCount_; ++g) {
        const Group& group = groups_[g];
        Put(buffer_, group.dataOffset + finalIndexLength_, 3);
        Put(buffer_, group.columns, 2);
        buffer_.push_back(static_cast<std::uint8_t>(group.animations.size()));
        for (const Animation& a : group.animations)
            Put(buffer_, a.dataOffset + finalIndexLength_, 3);
        for (const Animation& a : group.animations) {
            buffer_.push_back(static_cast<std::uint8_t>(a.frames.size()));
            Put(buffer_, a.columnSum, 2);
            buffer_.push_back(a.loop);
            for (const Frame& f : a.frames) {
                Put(buffer_, f.columns, 2);
                Put(buffer_, f.delay, 2);
            }
        }
    }
    if (buffer_.size() > kBufferBytes) buffer_.resize(kBufferBytes);
    finalised_ = true;
}

QByteArray CIndexBuilder::IndexBytes() const {
    return QByteArray(reinterpret_cast<const char*>(buffer_.data()),
                      static_cast<int>(std::min<size_t>(buffer_.size(), finalIndexLength_)));
}

bool CIndexBuilder::WriteIndex(const QString& path, QString* writeError) const {
    QFile file(path);
    // Unbuffered, so a failing write reports here and not in a silent flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = IndexBytes();
    if (file.write(bytes) == bytes.size()) return true;
    if (writeError) *writeError = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

}  // namespace glowdeck
