// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace glowdeck {

bool InstallQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return app.installTranslator(translator);
}

UiLanguage InstallTranslations(QCoreApplication& app) {
    UiLanguage language = SystemUiLanguage();
    if (!InstallProgramTranslation(app, language)) language = UiLanguage::Chinese;
    if (language == UiLanguage::Chinese) InstallQtTranslations(app);
    return language;
}

}  // namespace glowdeck
