// SPDX-License-Identifier: GPL-3.0-or-later
// The limits the add commands check, in their order.
#include <gtest/gtest.h>

#include <QDir>
#include <functional>

#include "model/CapacityChecks.h"
#include "model/GlowdeckDoc.h"
#include "model/ProjectFile.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

const QString kNoGroup = QStringLiteral("请先添加一个组!");
const QString kTotal = QStringLiteral("总长度已达上限500k！");
const QString kItems = QStringLiteral("元素数已达上限！");
const QString kAnimations = QStringLiteral("单组动画最多为20幅！");
const QString kGroups = QStringLiteral("组数已达上限！");

class Limits : public ::testing::Test {
protected:
    Limits() : doc_(sink_) {
        doc_.SetProjectRoot(dir_.Path());
        EXPECT_TRUE(doc_.CreateProjectNamed(QStringLiteral("p")));
    }
    // Adds items straight to the tree (no placeholder files) to reach a limit fast.
    void Fill(int g, ItemKind kind, int count) {
        for (int k = 0; k < count; ++k)
            doc_.ProjectFile()->AppendItem(g - 1, kind, QStringLiteral("x"), QStringLiteral("id"));
    }
    TempDir dir_;
    RecordingSink sink_;
    CGlowdeckDoc doc_;
};

}  // namespace

TEST_F(Limits, TenGroupsAtMost) {
    for (int g = 2; g <= 10; ++g) {
        EXPECT_EQ(CheckAddGroup(doc_), QString()) << g;
        EXPECT_TRUE(doc_.NewGroup(QStringLiteral("g")));
    }
    EXPECT_EQ(CheckAddGroup(doc_), kGroups);
}

TEST_F(Limits, AnItemNeedsAGroup) {
    EXPECT_TRUE(doc_.DeleteGroup(1));
    EXPECT_EQ(CheckAddItem(doc_, 0, ItemKind::Picture), kNoGroup);
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Picture), kNoGroup);
}

TEST_F(Limits, ThreeHundredItemsPerGroup) {
    Fill(1, ItemKind::Interval, 299);
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Interval), QString());
    Fill(1, ItemKind::Interval, 1);
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Interval), kItems);
    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("other")));
    EXPECT_EQ(CheckAddItem(doc_, 2, ItemKind::Interval), QString());
}

TEST_F(Limits, TwentyAnimationsPerGroupButOtherKindsStillFit) {
    Fill(1, ItemKind::Animation, 20);
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Animation), kAnimations);
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Picture), QString());
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Interval), QString());
}

TEST_F(Limits, DataSizeIsCheckedBeforeTheAdd) {
    // 23809 columns = 499989 bytes: at most 500000, so one more add is accepted...
    Fill(1, ItemKind::Interval, 1);
    doc_.ProjectFile()->SetInt(0, 0, "length", 23809);
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Picture), QString());
    Fill(1, ItemKind::Picture, 1);
    // ...which takes the account past 500000; the next add is refused.
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Interval), kTotal);
    EXPECT_GT(doc_.TotalDataBytes(), 500000u);
}

TEST_F(Limits, ChecksComeInTheirOrder) {
    Fill(1, ItemKind::Animation, 300);  // full, 20+ animations and, at 100 columns each, too large
    for (int i = 0; i < 300; ++i) doc_.ProjectFile()->SetInt(0, i, "length", 100);
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Animation), kTotal);
    for (int i = 0; i < 300; ++i) doc_.ProjectFile()->SetInt(0, i, "length", 1);  // now small
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Animation), kItems);
    doc_.ProjectFile()->RemoveItem(0, 0);
    EXPECT_EQ(CheckAddItem(doc_, 1, ItemKind::Animation), kAnimations);
}

TEST_F(Limits, TheDocumentsAddsRefuseOnTheirOwn) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<EditResult()> add;
        QString refusal;
    };
    const std::vector<Case> cases = {
        {"eleventh group",
         [&] {
             for (int g = 2; g <= 10; ++g) doc_.ProjectFile()->AppendGroup(QStringLiteral("g"));
         },
         [&] { return doc_.NewGroup(QStringLiteral("g")); }, kGroups},
        {"no group", [&] { EXPECT_TRUE(doc_.DeleteGroup(1)); },
         [&] { return doc_.NewPicture(1, QStringLiteral("x")); }, kNoGroup},
        {"full group", [&] { Fill(1, ItemKind::Interval, 300); },
         [&] { return doc_.NewInterval(1, QStringLiteral("x")); }, kItems},
        {"21st animation", [&] { Fill(1, ItemKind::Animation, 20); },
         [&] { return doc_.NewAnimation(1, QStringLiteral("x")); }, kAnimations},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        doc_.SetProjectRoot(dir.Path());
        ASSERT_TRUE(doc_.CreateProjectNamed(QStringLiteral("p")));
        c.arrange();
        ASSERT_TRUE(doc_.SaveProject());
        const QByteArray before = ReadAll(doc_.ProjectFilePath());
        const EditResult added = c.add();
        EXPECT_FALSE(added);
        EXPECT_EQ(added.message, c.refusal);
        EXPECT_EQ(ReadAll(doc_.ProjectFilePath()), before);
        EXPECT_EQ(QDir(doc_.ImagesFolder()).entryList(QDir::Files), QStringList());
    }
}
