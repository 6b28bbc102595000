// SPDX-License-Identifier: GPL-3.0-or-later
// GoogleTest entry point with the GUI application that fonts and painting need.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "base/HeadlessEnvironment.h"
#include "support/PinnedLanguage.h"

int main(int argc, char** argv) {
    glowdeck::test::PinChineseTexts();
    glowdeck::PrepareHeadlessEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
