// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "base/Cp936.h"

using namespace glowdeck;

TEST(Cp936, KnownBytesBothWays) {
    EXPECT_EQ(ToCp936(QStringLiteral("新建组")), QByteArray("\xD0\xC2\xBD\xA8\xD7\xE9"));
    EXPECT_EQ(FromCp936("\xD0\xC2\xBD\xA8\xD7\xE9"), QStringLiteral("新建组"));
    EXPECT_EQ(ToCp936(QStringLiteral("ab")), QByteArray("ab"));
}

TEST(Cp936, UnrepresentableAndInvalidInput) {
    EXPECT_EQ(ToCp936(QStringLiteral("a😀b")), QByteArray("a?b"));
    EXPECT_EQ(FromCp936("a\xFF"
                        "b"),
              QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(FromCp936("ab\xD0"), QStringLiteral("ab\uFFFD"));  // truncated double byte
}

TEST(Cp936, PrefixNeverSplitsACharacter) {
    const QByteArray bytes = ToCp936(QStringLiteral("a新b"));  // 61 D0 C2 62
    EXPECT_EQ(Cp936PrefixLength(bytes, 1), 1);
    EXPECT_EQ(Cp936PrefixLength(bytes, 2), 1);
    EXPECT_EQ(Cp936PrefixLength(bytes, 3), 3);
    EXPECT_EQ(Cp936PrefixLength(bytes, 10), 4);
}
