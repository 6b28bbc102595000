// GoogleTest entry point for tests that drive real widgets (offscreen).
#include <gtest/gtest.h>

#include <QApplication>

#include "model/HeadlessEnvironment.h"

int main(int argc, char** argv) {
    glowdeck::PrepareHeadlessEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
