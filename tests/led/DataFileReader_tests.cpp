// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a data.bin back: the golden files agree with themselves, damage is
// found and named, and no input crashes the reader.
#include <gtest/gtest.h>

#include <random>

#include "compile/DataFileReader.h"
#include "led/LedUnpacker.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::ReadAll;

namespace {
QByteArray Golden(const char* name) {
    return ReadAll(QStringLiteral(GLOWDECK_TEST_DATA "/") + QLatin1String(name));
}
}  // namespace

TEST(DataFileReader, GoldenFilesAreConsistent) {
    for (const auto& [name, bytes] :
         {std::pair{"mixed_single.data.bin", 21}, std::pair{"mixed_inner.data.bin", 14},
          std::pair{"one_picture.data.bin", 21}, std::pair{"empty.data.bin", 21}}) {
        DataIndex index;
        QStringList problems;
        QString error;
        ASSERT_TRUE(ReadDataIndex(Golden(name), 0, &index, &problems, &error)) << name;
        EXPECT_TRUE(problems.isEmpty())
            << name << ": " << problems.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(index.columnBytes, bytes) << name;
    }
    DataIndex index;
    QStringList problems;
    ASSERT_TRUE(ReadDataIndex(Golden("mixed_single.data.bin"), 0, &index, &problems, nullptr));
    ASSERT_EQ(index.groups.size(), 2u);
    ASSERT_EQ(index.groups[0].animations.size(), 1u);
    const auto& a = index.groups[0].animations[0];
    EXPECT_EQ(a.loop, 2);
    ASSERT_EQ(a.frames.size(), 3u);
    EXPECT_EQ(a.frames[1].delay, 200);
    EXPECT_EQ(index.indexLength, 53);
}

TEST(DataFileReader, DamageIsNamed) {
    QByteArray data = Golden("mixed_single.data.bin");
    data[22] = static_cast<char>(data[22] + 21);  // group 1 data offset off by a column
    DataIndex index;
    QStringList problems;
    ASSERT_TRUE(ReadDataIndex(data, 0, &index, &problems, nullptr));
    ASSERT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems.join(QLatin1Char('\n')).contains(QStringLiteral("group 1: data offset")));

    problems.clear();
    ASSERT_TRUE(
        ReadDataIndex(Golden("one_picture.data.bin").chopped(21), 0, &index, &problems, nullptr));
    EXPECT_FALSE(problems.isEmpty());

    problems.clear();
    ASSERT_TRUE(ReadDataIndex(Golden("mixed_inner.data.bin"), 21, &index, &problems, nullptr));
    EXPECT_FALSE(problems.isEmpty());  // read as 21-byte columns it is too short
}

TEST(DataFileReader, NotADataFile) {
    DataIndex index;
    QStringList problems;
    QString error;
    EXPECT_FALSE(ReadDataIndex(QByteArray(21, '\xAA'), 0, &index, &problems, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("too short")));
    EXPECT_FALSE(ReadDataIndex(QByteArray(40, '\x01'), 0, &index, &problems, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("0xAA")));
    QByteArray cut = Golden("mixed_single.data.bin").left(30);
    EXPECT_FALSE(ReadDataIndex(cut, 0, &index, &problems, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("group 1")));
}

TEST(DataFileReader, RandomBytesNeverCrash) {
    std::mt19937 random(7);
    int accepted = 0, rejected = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray data(static_cast<int>(random() % 300), '\0');
        for (char& c : data) c = static_cast<char>(random());
        if (!data.isEmpty() && round % 2) data[0] = '\xAA';
        if (data.size() > 1 && round % 4 == 1) data[1] = static_cast<char>(random() % 11);
        DataIndex index;
        QStringList problems;
        QString error;
        if (ReadDataIndex(data, 0, &index, &problems, &error)) {
            ++accepted;
            for (const auto& g : index.groups)
                UnpackColumns(data, g.dataOffset, std::min(g.columns, 500), LedTable::Single);
        } else {
            ++rejected;
            EXPECT_FALSE(error.isEmpty());
        }
    }
    // Both paths were exercised: some inputs parse as an index, most do not.
    EXPECT_GT(accepted, 10);
    EXPECT_GT(rejected, 1000);
}

TEST(LedUnpacker, InverseOfPacking) {
    // Eight colours, one per row band, unpacked from bytes made by hand:
    // all bits set is black, none is white.
    QByteArray data = QByteArray(21, '\xFF') + QByteArray(21, '\0') + QByteArray(14, '\0');
    const QImage two = UnpackColumns(data, 0, 2, LedTable::Single);
    EXPECT_EQ(two.pixel(0, 10), qRgb(0, 0, 0));
    EXPECT_EQ(two.pixel(1, 10), qRgb(255, 255, 255));
    const QImage inner = UnpackColumns(data, 42, 1, LedTable::Inner);
    EXPECT_EQ(inner.pixel(0, 0), qRgb(255, 255, 0));  // no blue on the inner layer
    const QImage past = UnpackColumns(data, 42, 3, LedTable::Single);
    EXPECT_EQ(past.pixel(2, 0), qRgb(0, 0, 0));  // past the end: dark
    QByteArray red(21, '\0');
    red[0] = 0x04;   // position 3: blue of row 0 off
    red[16] = 0x08;  // position 132: green of row 0 off
    EXPECT_EQ(UnpackColumns(red, 0, 1, LedTable::Single).pixel(0, 0), qRgb(255, 0, 0));
}
