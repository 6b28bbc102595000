// SPDX-License-Identifier: GPL-3.0-or-later
// The index at the head of data.bin, byte for byte.
#include <gtest/gtest.h>

#include "compile/IndexBuilder.h"
#include "support/QtPrinters.h"
#include "support/RecordingSink.h"

using namespace glowdeck;

namespace {

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

}  // namespace

TEST(IndexBuilder, EmptyProjectIs22Bytes) {
    CIndexBuilder index;
    index.Finalise();
    EXPECT_EQ(index.IndexBytes(), Hex("AA00") + QByteArray(20, '\0'));
    EXPECT_EQ(index.DataLength(), 0u);
}

TEST(IndexBuilder, OnePictureOfTenColumns) {
    CIndexBuilder index;
    index.AddGroup();
    index.AddColumns(10);
    index.Finalise();
    EXPECT_EQ(index.IndexBytes(), Hex("AA011600") + QByteArray(18, '\0') +
                                      Hex("1C0000"
                                          "0A00"
                                          "00"));
    EXPECT_EQ(index.IndexLength(), 28);
    EXPECT_EQ(index.DataLength(), 210u);
}

TEST(IndexBuilder, AnimationOfThreeFrames) {
    CIndexBuilder index;
    index.AddGroup();
    index.AddAnimation(2);
    for (int k = 0; k < 3; ++k) index.AddFrame(20, FrameDelayMs(10, 0));
    index.Finalise();
    EXPECT_EQ(index.IndexLength(), 47);
    EXPECT_EQ(index.IndexBytes(), Hex("AA011600") + QByteArray(18, '\0') +
                                      Hex("2F0000"
                                          "3C00"
                                          "01"        // group block
                                          "2F0000"    // animation data offset
                                          "033C0002"  // frames, columns, loop
                                          "14006400"
                                          "14006400"
                                          "14006400"));
    EXPECT_EQ(index.DataLength(), 60u * 21);
}

TEST(IndexBuilder, InnerLayerAdvancesOffsetsBy14PerColumn) {
    for (const auto& [ball, bytes] :
         {std::pair{BallConfig{1, 0}, 21}, std::pair{BallConfig{2, 1}, 14}}) {
        CIndexBuilder index;
        index.SetBall(ball);
        index.AddGroup();
        index.AddColumns(4);
        index.AddGroup();
        index.AddColumns(1);
        index.Finalise();
        const QByteArray b = index.IndexBytes();
        ASSERT_EQ(b.size(), 34);
        EXPECT_EQ(b.mid(2, 4), Hex("16001C00"));  // header offsets 22 and 28
        EXPECT_EQ(static_cast<unsigned char>(b[22]), 34);
        EXPECT_EQ(static_cast<unsigned char>(b[28]), 34 + 4 * bytes);
        EXPECT_EQ(index.DataLength(), 5u * bytes);
    }
}

TEST(IndexBuilder, FrameDelaysAreClamped) {
    EXPECT_EQ(FrameDelayMs(0, 0), 10);
    EXPECT_EQ(FrameDelayMs(2000, 0), 10000);
    EXPECT_EQ(FrameDelayMs(3000, 0), 10000);
    EXPECT_EQ(FrameDelayMs(10, 50), 50);
    EXPECT_EQ(FrameDelayMs(5, 100), 10);
    EXPECT_EQ(FrameDelayMs(-7, 0), 10);
}

TEST(IndexBuilder, GroupsAfterTheTenthCountToTheTenth) {
    CIndexBuilder index;
    for (int g = 0; g < 12; ++g) {
        index.AddGroup();
        index.AddColumns(1);
    }
    index.Finalise();
    EXPECT_EQ(index.GroupCount(), 10);
    const QByteArray b = index.IndexBytes();
    ASSERT_EQ(b.size(), 22 + 60);
    EXPECT_EQ(static_cast<unsigned char>(b[1]), 10);
    // The tenth block holds three columns.
    EXPECT_EQ(b.mid(22 + 9 * 6 + 3, 2), Hex("0300"));
    EXPECT_EQ(index.DataLength(), 12u * 21);
}

TEST(IndexBuilder, ColumnCountsWrapAt16BitsAndLoopKeepsLowByte) {
    CIndexBuilder index;
    index.AddGroup();
    index.AddColumns(65535);
    index.AddColumns(2);
    index.AddAnimation(static_cast<std::uint8_t>(257 & 0xFF));
    index.Finalise();
    const QByteArray b = index.IndexBytes();
    EXPECT_EQ(b.mid(25, 2), Hex("0100"));
    EXPECT_EQ(static_cast<unsigned char>(b[34]), 1);  // loop of the record
}

TEST(IndexBuilder, FinaliseTwiceWarnsAndAddGroupStartsOver) {
    test::RecordingSink sink;
    CIndexBuilder index(&sink);
    index.AddGroup();
    index.Finalise();
    const QByteArray first = index.IndexBytes();
    index.Finalise();
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("重复调用计算！")});
    EXPECT_EQ(index.IndexBytes(), first);
    index.AddGroup();  // on a finalised builder: reset first
    EXPECT_FALSE(index.Finalised());
    index.Finalise();
    EXPECT_EQ(index.IndexBytes(), first);
}
