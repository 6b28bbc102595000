// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck-cli --help, COMMAND --help, --version and the exit codes, run as a
// user would.
#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>

#include "support/CliRunner.h"
#include "support/TempDir.h"

using glowdeck::test::Cli;
using glowdeck::test::CliRun;
using glowdeck::test::TempDir;

namespace {

// The commands the overview lists: the first word of each indented line
// under "Commands:".
QStringList ListedCommands() {
    const CliRun help = Cli({"--help"});
    QStringList commands;
    const QString section =
        help.out.section(QStringLiteral("Commands:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    static const QRegularExpression entry(QStringLiteral("^  ([a-z-]+)"),
                                          QRegularExpression::MultilineOption);
    for (auto it = entry.globalMatch(section); it.hasNext();) commands << it.next().captured(1);
    return commands;
}

// The options a command names in its own usage message (what it accepts).
QStringList OptionsOf(const QString& usage) {
    QStringList options;
    static const QRegularExpression option(QStringLiteral("--[a-z-]+"));
    for (auto it = option.globalMatch(usage); it.hasNext();) options << it.next().captured(0);
    return options;
}

}  // namespace

TEST(CliHelp, VersionComesFromTheProject) {
    const CliRun run = Cli({"--version"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("glowdeck-cli " GLOWDECK_VERSION));
}

TEST(CliHelp, OverviewListsTheCommandsAndTheExitCodes) {
    const CliRun run = Cli({"--help"});
    EXPECT_EQ(run.code, 0);
    EXPECT_GE(ListedCommands().size(), 13) << run.out.toStdString();
    for (const char* code : {"  0  success", "  1  failure", "  2  usage"})
        EXPECT_TRUE(run.out.contains(QLatin1String(code))) << code;
}

TEST(CliHelp, EveryListedCommandExplainsItselfAndEveryOptionItTakes) {
    for (const QString& command : ListedCommands()) {
        const CliRun help = Cli({command, "--help"});
        EXPECT_EQ(help.code, 0) << command.toStdString();
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: glowdeck-cli ") + command))
            << help.out.toStdString();
        EXPECT_TRUE(help.out.contains(QStringLiteral("Exit status:"))) << command.toStdString();
        // A wrong call prints the command's usage line, written beside the
        // code that parses the options; the help must name each of them.
        // (ports and ball take no positional argument: an extra one is wrong.)
        const bool noArguments =
            command == QLatin1String("ports") || command == QLatin1String("ball");
        const CliRun wrong =
            Cli(noArguments ? QStringList{command, "extra"} : QStringList{command});
        EXPECT_EQ(wrong.code, 2) << command.toStdString() << ": " << wrong.err.toStdString();
        ASSERT_TRUE(wrong.err.contains(QStringLiteral("usage: glowdeck-cli ") + command))
            << wrong.err.toStdString();
        for (const QString& option : OptionsOf(wrong.err))
            EXPECT_TRUE(help.out.contains(option))
                << command.toStdString() << " --help lacks " << option.toStdString();
    }
}

TEST(CliHelp, CommandHelpDoesNotRunTheCommand) {
    TempDir dir;
    const CliRun run = Cli({"new", "--root", dir.Path(), "show", "--help"});
    EXPECT_EQ(run.code, 0);
    EXPECT_FALSE(QDir(dir.File("show")).exists());
}

TEST(CliHelp, UsageErrorsExitTwo) {
    const CliRun none = Cli({});
    EXPECT_EQ(none.code, 2);
    EXPECT_TRUE(none.err.contains(QStringLiteral("Commands:")));  // the overview, on stderr
    EXPECT_TRUE(none.out.isEmpty());
    const CliRun unknown = Cli({"explode"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("unknown command: explode")));
    const CliRun range = Cli({"compile", "x", "--ball", "3"});
    EXPECT_EQ(range.code, 2);
}

TEST(CliHelp, FailureExitsOne) {
    TempDir dir;
    const CliRun run = Cli({"list", dir.File("no-such-project")});
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(run.err.isEmpty());
}
