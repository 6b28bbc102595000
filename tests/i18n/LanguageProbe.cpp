// SPDX-License-Identifier: GPL-3.0-or-later
// ui-language-probe: prints the interface language the programs choose in
// this environment ("Chinese" or "English").
#include <QCoreApplication>
#include <cstdio>

#include "base/UiLanguage.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("%s\n", glowdeck::SystemUiLanguage() == glowdeck::UiLanguage::English ? "English"
                                                                                      : "Chinese");
    return 0;
}
