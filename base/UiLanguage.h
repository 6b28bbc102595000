// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace glowdeck {

// The language the program speaks. Its texts are written in Chinese; English
// is the one translation, for everyone whose interface language is neither
// Chinese nor the C/POSIX locale (scripts keep the Chinese texts there).
enum class UiLanguage { Chinese, English };

// The choice from the user's interface languages in order of preference
// (QLocale::uiLanguages(): "en-US", "zh-Hans-CN", "C", ...) and the locale
// that names messages (LC_ALL, else LC_MESSAGES, else LANG). As in gettext, a
// C or POSIX messages locale keeps the Chinese texts whatever LANGUAGE lists;
// otherwise the first Chinese or English entry decides, and any other
// language gets English.
UiLanguage ChooseUiLanguage(const QStringList& uiLanguages, const QString& messagesLocale);

// The choice for this process's environment.
UiLanguage SystemUiLanguage();

// Installs the English translation of the program's texts when `language` is
// English (false when it cannot be loaded) and makes `language` the one
// CurrentUiLanguage() reports. Call once, before any text is made.
bool InstallProgramTranslation(QCoreApplication& app, UiLanguage language);

// The language the program's texts are shown in: Chinese until an English
// translation was installed.
UiLanguage CurrentUiLanguage();

// The user guide's page in `helpFolder` for `language`: index.en.html for
// English when it is there, else index.html.
QString GuidePage(const QString& helpFolder, UiLanguage language);

}  // namespace glowdeck
