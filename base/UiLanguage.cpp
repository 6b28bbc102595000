// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/UiLanguage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>
#include <QtGlobal>

namespace glowdeck {

namespace {

UiLanguage current = UiLanguage::Chinese;

bool IsCLocale(const QString& name) {
    // "C", "C.UTF-8", "POSIX"; unset or empty means C as well.
    return name.isEmpty() || name == QLatin1String("C") || name.startsWith(QLatin1String("C.")) ||
           name == QLatin1String("POSIX");
}

QString MessagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) return value;
    }
    return QString();
}

}  // namespace

UiLanguage ChooseUiLanguage(const QStringList& uiLanguages, const QString& messagesLocale) {
    if (IsCLocale(messagesLocale)) return UiLanguage::Chinese;
    for (const QString& entry : uiLanguages) {
        const QString language =
            entry.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (IsCLocale(entry)) return UiLanguage::Chinese;
        if (language.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0)
            return UiLanguage::Chinese;
        if (language.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
            return UiLanguage::English;
    }
    return UiLanguage::English;
}

UiLanguage SystemUiLanguage() {
    return ChooseUiLanguage(QLocale::system().uiLanguages(), MessagesLocale());
}

bool InstallProgramTranslation(QCoreApplication& app, UiLanguage language) {
    current = UiLanguage::Chinese;
    if (language == UiLanguage::Chinese) return true;
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/i18n/glowdeck_en.qm")) ||
        !app.installTranslator(translator)) {
        delete translator;
        return false;
    }
    current = language;
    return true;
}

UiLanguage CurrentUiLanguage() { return current; }

QString GuidePage(const QString& helpFolder, UiLanguage language) {
    if (language == UiLanguage::English) {
        const QString english = helpFolder + QStringLiteral("/index.en.html");
        if (QFileInfo(english).isFile()) return english;
    }
    return helpFolder + QStringLiteral("/index.html");
}

}  // namespace glowdeck
