// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck --check-start: the start dialog is found and closed, dialogs
// before it are dismissed, and the start step then ends as after "退出".
#include <gtest/gtest.h>

#include <QStringList>

#include "app/AppDialogs.h"
#include "app/StartCheck.h"
#include "support/RecordingSink.h"

using namespace glowdeck;

TEST(StartCheck, ClosesTheStartDialogAndReportsIt) {
    test::RecordingSink sink;
    AppDialogs dialogs(nullptr, sink);
    QStringList said;
    StartCheck check([&](const QString& line) { said << line; }, 5);
    EXPECT_EQ(dialogs.AskStart(), IProjectDialogs::StartChoice::Quit);
    EXPECT_TRUE(check.StartDialogSeen());
    EXPECT_EQ(said, QStringList{QStringLiteral("start dialog shown: 开始")});
}

TEST(StartCheck, DismissesAQuestionBeforeTheStartDialog) {
    test::RecordingSink sink;
    AppDialogs dialogs(nullptr, sink);
    QStringList said;
    StartCheck check([&](const QString& line) { said << line; }, 5);
    EXPECT_EQ(dialogs.AskBallType(), 0);
    EXPECT_FALSE(check.StartDialogSeen());
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith(QStringLiteral("dialog shown and dismissed: ")))
        << said[0].toStdString();
    dialogs.AskStart();
    EXPECT_TRUE(check.StartDialogSeen());
}
