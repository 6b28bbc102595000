// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/UiLanguage.h"

class QCoreApplication;

namespace glowdeck {

// Loads Qt's own Chinese translations (file dialog, Yes/No/OK/Cancel) so
// Qt's texts match the program's; call before any window is made. False when
// the system has none (the texts stay English).
bool InstallQtTranslations(QCoreApplication& app);

// The language of the user's environment for the program's texts and Qt's
// own: English gets the program's English translation and Qt's own English
// texts; Chinese (and the C locale) the program's Chinese texts and Qt's
// Chinese translations. Call before any window is made.
UiLanguage InstallTranslations(QCoreApplication& app);

}  // namespace glowdeck
