// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck-cli: headless access to Glowdeck projects for scripts and tests.
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#ifndef GLOWDECK_CLI_READING
#include <QGuiApplication>
#endif
#include <cerrno>
#include <cstring>
#include <memory>

#include "base/AccessError.h"
#include "base/Allocator.h"
#include "base/HeadlessEnvironment.h"
#include "base/UiLanguage.h"
#include "cli/BashCompletion.h"
#include "cli/CliSupport.h"
#include "cli/CommandHelp.h"
#include "cli/CommandTable.h"

namespace {

#ifdef GLOWDECK_CLI_READING
// Runs the command line in the full program instead of this one: the same
// arguments, the same environment, the same process. Returns only when the
// full program cannot be started.
int HandOver(char** argv) {
    const QString here = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QString folder = QFileInfo(here).absolutePath();
    for (const QString& candidate :
         {folder + QStringLiteral("/glowdeck-cli-full"),
          folder + QStringLiteral("/../libexec/glowdeck/glowdeck-cli-full")}) {
        const QByteArray path = QFile::encodeName(candidate);
        ::execv(path.constData(), argv);
        if (errno != ENOENT) {
            glowdeck::PrintErr(QCoreApplication::translate("CliMain", "cannot start %1: %2")
                                   .arg(candidate, QString::fromLocal8Bit(std::strerror(errno))));
            return 1;
        }
    }
    glowdeck::PrintErr(
        QCoreApplication::translate("CliMain", "glowdeck-cli-full is not installed beside %1")
            .arg(here));
    return 1;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    glowdeck::KeepFreedMemoryForReuse();
    glowdeck::PrepareHeadlessEnvironment();
    // Read before Qt sees them: the GUI-level application takes options of
    // its own out of argv ("-platform" among them), which set-text's text may be.
    QStringList args;
    for (int k = 0; k < argc; ++k) args << QString::fromLocal8Bit(argv[k]);

    // The program's own options come before the command; everything from the
    // command on is the command's.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    QCommandLineOption completion(QStringLiteral("bash-completion"));
    completion.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, version, completion});
    parser.addPositionalArgument(QStringLiteral("command"), QString());
    const bool parsed = parser.parse(args);
    QStringList rest = parser.positionalArguments();
    if (!parsed) {
        // An option of its own it does not know is taken as an unknown command.
        rest = args.mid(1);
    } else if (const QStringList given = parser.optionNames(); !given.isEmpty()) {
        // The first of the program's options decides.
        const QString first = given.first();
        if (help.names().contains(first)) {
            std::fputs(glowdeck::OverviewHelp().toUtf8().constData(), stdout);
            return 0;
        }
        if (version.names().contains(first)) {
            glowdeck::PrintOut(glowdeck::VersionText());
            return 0;
        }
        std::fputs(glowdeck::BashCompletionScript().toUtf8().constData(), stdout);
        return 0;
    }
    if (rest.isEmpty()) {
        std::fputs(glowdeck::OverviewHelp().toUtf8().constData(), stderr);
        return 2;
    }
    const QString name = rest.takeFirst();
    const glowdeck::CommandRow* command = glowdeck::FindCommand(name);
    if (!command) {
        glowdeck::PrintErr(
            QCoreApplication::translate(
                "CliMain", "unknown command: %1 (glowdeck-cli --help lists the commands)")
                .arg(name));
        return 2;
    }
    // "COMMAND --help" explains the command instead of running it.
    if (rest.contains(QStringLiteral("--help"))) {
        std::fputs(glowdeck::CommandHelp(name).toUtf8().constData(), stdout);
        return 0;
    }
#ifdef GLOWDECK_CLI_READING
    if (command->run == glowdeck::RunInFullProgram) return HandOver(argv);
    const auto app = std::make_unique<QCoreApplication>(argc, argv);
#else
    // Only a command that draws text pays for the GUI-level application
    // (its font configuration is most of a short command's time).
    const std::unique_ptr<QCoreApplication> app =
        command->drawsText ? std::make_unique<QGuiApplication>(argc, argv)
                           : std::make_unique<QCoreApplication>(argc, argv);
#endif
    // The core's messages in the user's language (Chinese in the C locale).
    glowdeck::InstallProgramTranslation(*app, glowdeck::SystemUiLanguage());
    try {
        const int code = command->run(rest);
#ifdef GLOWDECK_CLI_READING
        if (code == glowdeck::kRunInFullProgram) return HandOver(argv);
#endif
        return code;
    } catch (const glowdeck::AccessError& e) {
        glowdeck::PrintErr(glowdeck::DamagedProjectText(e));
        return 1;
    } catch (const glowdeck::UsageError& e) {
        glowdeck::PrintErr(e.message);
        return 2;
    }
}
