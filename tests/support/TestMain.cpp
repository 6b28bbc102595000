// GoogleTest entry point with the GUI application that fonts and painting need.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "base/HeadlessEnvironment.h"

int main(int argc, char** argv) {
    glowdeck::PrepareHeadlessEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
