// SPDX-License-Identifier: GPL-3.0-or-later
// GoogleTest entry point for tests that drive real widgets (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "base/HeadlessEnvironment.h"
#include "support/PinnedLanguage.h"

int main(int argc, char** argv) {
    glowdeck::test::PinChineseTexts();
    glowdeck::PrepareHeadlessEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // The program's settings (look, remembered port) go to a folder of the
    // test run, never to the user's own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    return RUN_ALL_TESTS();
}
