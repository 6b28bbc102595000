#pragma once

class QCoreApplication;

namespace glowdeck {

// Loads Qt's own Chinese translations (file dialog, Yes/No/OK/Cancel) so
// Qt's texts match the program's; call before any window is made. False when
// the system has none (the texts stay English).
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace glowdeck
