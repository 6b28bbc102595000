// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandHelp.h"

#include <QCoreApplication>

#include "cli/CommandTable.h"

namespace glowdeck {

namespace {

const char kExitCodes[] = QT_TRANSLATE_NOOP(
    "CommandHelp",
    "Exit status:\n"
    "  0  success\n"
    "  1  failure (the program's message on stderr)\n"
    "  2  usage error: unknown command, missing argument or a value out of its range\n");

// The help texts of the table are marked for translation where they stand.
QString Tr(const char* text) { return QCoreApplication::translate("CommandHelp", text); }

// "  --name VALUE     help": the help starts in column 20, under a name too
// long for that on a line of its own; its further lines start there too.
QString OptionHelp(const OptionRow& option) {
    QString name = QString::fromUtf8(option.name);
    if (option.value) name += QLatin1Char(' ') + QString::fromUtf8(option.value);
    const QString indent(19, QLatin1Char(' '));
    QString text = QStringLiteral("  ") + name;
    text += name.size() <= 16 ? QString(17 - name.size(), QLatin1Char(' '))
                              : QLatin1Char('\n') + indent;
    text += Tr(option.help).replace(QLatin1Char('\n'), QLatin1Char('\n') + indent);
    return text + QLatin1Char('\n');
}

QString Paragraph(const char* text) { return text ? Tr(text) + QLatin1Char('\n') : QString(); }

}  // namespace

QString OverviewHelp() {
    QString text = QCoreApplication::translate(
        "CommandHelp",
        "Usage: glowdeck-cli COMMAND [ARGUMENTS]\n"
        "Edit, compile and download Glowdeck projects for the LED ball. PROJECT is a project\n"
        "folder; group and item numbers count from 1.\n\n"
        "Commands:\n");
    for (const CommandRow& c : Commands()) {
        text += QStringLiteral("  %1\n").arg(QString::fromUtf8(c.synopsis));
        text += QStringLiteral("        %1\n").arg(Tr(c.summary));
    }
    text += QCoreApplication::translate(
        "CommandHelp",
        "\nOptions:\n"
        "  --help           this text; COMMAND --help shows one command with its options\n"
        "  --version        the version\n\n"
        "Environment:\n"
        "  GLOWDECK_LOCK_WAIT  seconds (0 to 3600, default 60) a command waits for another\n"
        "                      command that holds the project\n\n");
    return text + Tr(kExitCodes);
}

QString CommandHelp(const QString& command) {
    const CommandRow* c = FindCommand(command);
    if (!c) return QString();
    QString details = Paragraph(c->about);
    for (const OptionRow& option : c->options) details += OptionHelp(option);
    details += Paragraph(c->notes);
    return QCoreApplication::translate("CommandHelp", "Usage: glowdeck-cli %1\n%2\n%3")
        .arg(QString::fromUtf8(c->synopsis), details, Tr(kExitCodes));
}

QString VersionText() {
    return QStringLiteral("glowdeck-cli %1").arg(QStringLiteral(GLOWDECK_VERSION));
}

}  // namespace glowdeck
