// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>

namespace glowdeck::test {

// The tests compare the program's Chinese texts byte for byte, so every test
// process, and every program it starts, speaks Chinese (the C locale)
// whatever the developer's own language is. A child that a language test
// starts with an environment of its own (GLOWDECK_LANGUAGE_CHILD set) keeps it.
inline void PinChineseTexts() {
    if (qEnvironmentVariableIsSet("GLOWDECK_LANGUAGE_CHILD")) return;
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
}

}  // namespace glowdeck::test
