// SPDX-License-Identifier: GPL-3.0-or-later
// The wiring tables and the packing of LED images into columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/BallConfig.h"
#include "led/LedOrder.h"
#include "led/LedPacker.h"

using namespace glowdeck;

namespace {

QImage Column(QRgb colour, int width = 1) {
    QImage image(width, 56, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

std::vector<std::uint8_t> Pack(const QImage& image, LedTable table) {
    std::vector<std::uint8_t> buffer(static_cast<size_t>(std::max(image.width(), 1)) * 21, 0xEE);
    PackLedImage(image, 0, buffer.data(), table, true);
    const int bytes = image.width() * (table == LedTable::Inner ? 14 : 21);
    return std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + bytes);
}

bool BitSet(const std::vector<std::uint8_t>& column, int position) {
    return column[(position - 1) / 8] & (1u << ((position - 1) % 8));
}

template <size_t N>
bool IsPermutation(const std::array<std::uint8_t, N>& table) {
    std::vector<int> values(table.begin(), table.end());
    std::sort(values.begin(), values.end());
    for (size_t k = 0; k < N; ++k)
        if (values[k] != static_cast<int>(k + 1)) return false;
    return true;
}

}  // namespace

TEST(LedOrder, TablesArePermutations) {
    EXPECT_TRUE(IsPermutation(LedOrderSingle));
    EXPECT_TRUE(IsPermutation(LedOrderOuter));
    EXPECT_TRUE(IsPermutation(LedOrderInner));
}

TEST(LedOrder, OuterDiffersFromSingleOnlyInRows0_1_54_55) {
    std::vector<int> differing;
    for (int row = 0; row < 56; ++row)
        for (int c = 0; c < 3; ++c)
            if (LedOrderSingle[3 * row + c] != LedOrderOuter[3 * row + c]) {
                differing.push_back(row);
                break;
            }
    EXPECT_EQ(differing, (std::vector<int>{0, 1, 54, 55}));
    // Spot checks against the wiring: first, last and a middle row.
    EXPECT_EQ(LedOrderSingle[0], 8);
    EXPECT_EQ(LedOrderSingle[167], 4);
    EXPECT_EQ(LedOrderOuter[2], 4);
    EXPECT_EQ(LedOrderInner[0], 56);
    EXPECT_EQ(LedOrderInner[111], 72);
    EXPECT_EQ(LedOrderSingle[3 * 30 + 1], 88);
}

TEST(ColumnBytes, FourteenOnlyOnTheInnerLayerOfADoubleBall) {
    EXPECT_EQ(ColumnBytes(1, 0), 21);
    EXPECT_EQ(ColumnBytes(1, 1), 21);
    EXPECT_EQ(ColumnBytes(2, 0), 21);
    EXPECT_EQ(ColumnBytes(2, 1), 14);
    EXPECT_EQ(ColumnBytes(0, 1), 21);
    EXPECT_EQ(PictureTable({2, 1}), LedTable::Inner);
    EXPECT_EQ(PictureTable({2, 0}), LedTable::Outer);
    EXPECT_EQ(PictureTable({1, 1}), LedTable::Single);
    EXPECT_EQ(PictureTable({0, 0}), LedTable::Single);
}

TEST(Pack, BlackSetsEveryBitWhiteClearsThem) {
    EXPECT_EQ(Pack(Column(qRgb(0, 0, 0)), LedTable::Single), std::vector<std::uint8_t>(21, 0xFF));
    EXPECT_EQ(Pack(Column(qRgb(255, 255, 255)), LedTable::Single),
              std::vector<std::uint8_t>(21, 0x00));
    EXPECT_EQ(Pack(Column(qRgb(0, 0, 0)), LedTable::Inner), std::vector<std::uint8_t>(14, 0xFF));
}

TEST(Pack, RedPixelAtRowZero) {
    QImage image = Column(qRgb(255, 255, 255));
    image.setPixel(0, 0, qRgb(255, 0, 0));
    const auto column = Pack(image, LedTable::Single);
    EXPECT_TRUE(BitSet(column, 132));  // green off
    EXPECT_TRUE(BitSet(column, 3));    // blue off
    EXPECT_FALSE(BitSet(column, 8));   // red lit
    EXPECT_EQ(std::count(column.begin(), column.end(), 0), 19);
    EXPECT_EQ(column[0], 0x04);
    EXPECT_EQ(column[16], 0x08);  // position 132 = byte 16, bit 3
}

TEST(Pack, InnerLayerIgnoresBlue) {
    EXPECT_EQ(Pack(Column(qRgb(255, 255, 0)), LedTable::Inner),
              std::vector<std::uint8_t>(14, 0x00));
    EXPECT_EQ(Pack(Column(qRgb(0, 0, 255)), LedTable::Inner), std::vector<std::uint8_t>(14, 0xFF));
}

TEST(Pack, SingleAndOuterDifferOnlyInByteZeroOfEachColumn) {
    QImage image(3, 56, QImage::Format_ARGB32);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 56; ++y)
            image.setPixel(x, y,
                           qRgb((x + y) % 2 ? 255 : 0, y % 3 ? 255 : 0, (x * y) % 5 ? 255 : 0));
    const auto single = Pack(image, LedTable::Single), outer = Pack(image, LedTable::Outer);
    ASSERT_EQ(single.size(), 63u);
    bool byteZeroDiffers = false;
    for (size_t k = 0; k < single.size(); ++k) {
        if (k % 21 == 0)
            byteZeroDiffers |= single[k] != outer[k];
        else
            EXPECT_EQ(single[k], outer[k]) << k;
    }
    EXPECT_TRUE(byteZeroDiffers);
    EXPECT_EQ(Pack(image, LedTable::Inner).size(), 42u);
}

TEST(Pack, ColumnsKeepLeftToRightOrder) {
    // Three columns: black, white, black.
    QImage image = Column(qRgb(255, 255, 255), 3);
    for (int y = 0; y < 56; ++y) {
        image.setPixel(0, y, qRgb(0, 0, 0));
        image.setPixel(2, y, qRgb(0, 0, 0));
    }
    const auto packed = Pack(image, LedTable::Single);
    EXPECT_EQ(std::vector<std::uint8_t>(packed.begin(), packed.begin() + 21),
              std::vector<std::uint8_t>(21, 0xFF));
    EXPECT_EQ(std::vector<std::uint8_t>(packed.begin() + 21, packed.begin() + 42),
              std::vector<std::uint8_t>(21, 0x00));
    EXPECT_EQ(std::vector<std::uint8_t>(packed.begin() + 42, packed.end()),
              std::vector<std::uint8_t>(21, 0xFF));
}

TEST(Pack, FramesLandAtTheirOffsetAndOnlySetBits) {
    std::vector<std::uint8_t> buffer(3 * 2 * 21, 0);
    PackLedImage(Column(qRgb(0, 0, 0), 2), 1, buffer.data(), LedTable::Inner, false);
    // Frame 1 of a two-column image on the inner layer starts at 1 × 2 × 14 = 28.
    for (size_t k = 0; k < buffer.size(); ++k)
        EXPECT_EQ(buffer[k], (k >= 28 && k < 56) ? 0xFF : 0x00) << k;
    buffer.assign(buffer.size(), 0x10);
    PackLedImage(Column(qRgb(255, 255, 255), 2), 0, buffer.data(), LedTable::Single, false);
    EXPECT_EQ(buffer[0], 0x10);  // no clearing for animation frames
}

TEST(Pack, ZeroColumnImagePacksNothing) {
    std::vector<std::uint8_t> buffer(21, 0x5A);
    PackLedImage(QImage(), 0, buffer.data(), LedTable::Single, true);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(21, 0x5A));
}
