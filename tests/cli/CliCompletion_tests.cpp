// SPDX-License-Identifier: GPL-3.0-or-later
// The bash completion glowdeck-cli writes from its command table offers what
// the help describes: every command, every option of each, the values of
// options and the kind of each argument.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "support/CliRunner.h"
#include "support/TempDir.h"

using glowdeck::test::Cli;
using glowdeck::test::TempDir;

namespace {

// Completes each line (words separated by '|', the last one being typed) with
// the script; stands in for bash-completion's helpers, _filedir answering
// "<files ARGS>". One output line a request.
QStringList Complete(const QStringList& requests) {
    TempDir dir;
    QString driver =
        QStringLiteral(
            "_init_completion() { words=(\"${COMP_WORDS[@]}\"); cword=$COMP_CWORD; "
            "cur=${words[cword]}; prev=${words[cword-1]}; }\n"
            "_filedir() { COMPREPLY=(\"<files $*>\"); }\n"
            "source %1\n"
            "ask() { COMP_WORDS=(glowdeck-cli \"$@\"); COMP_CWORD=$#; COMPREPLY=(); "
            "_glowdeck_cli; echo \"${COMPREPLY[*]}\"; }\n")
            .arg(dir.Write(QStringLiteral("completion"), Cli({"--bash-completion"}).out.toUtf8()));
    for (const QString& request : requests) {
        QStringList quoted;
        for (const QString& word : request.split(QLatin1Char('|')))
            quoted << QLatin1Char('\'') + word + QLatin1Char('\'');
        driver += QStringLiteral("ask ") + quoted.join(QLatin1Char(' ')) + QLatin1Char('\n');
    }
    QProcess bash;
    bash.start(QStringLiteral("bash"), {QStringLiteral("--norc"), QStringLiteral("-c"), driver});
    bash.waitForFinished(60000);
    EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().toStdString();
    return QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'));
}

// The first words of the indented lines in a help section ("  name ..." or
// "  --option ...").
QStringList Listed(const QString& help, const QString& pattern) {
    QStringList names;
    const QRegularExpression entry(pattern, QRegularExpression::MultilineOption);
    for (auto it = entry.globalMatch(help); it.hasNext();) names << it.next().captured(1);
    return names;
}

}  // namespace

TEST(CliCompletion, OffersEveryCommandAndEveryOptionTheHelpNames) {
    const QString overview = Cli({"--help"}).out.section(QStringLiteral("Commands:\n"), 1);
    const QStringList commands =
        Listed(overview.section(QStringLiteral("\n\n"), 0, 0), QStringLiteral("^  ([a-z-]+)"));
    ASSERT_GE(commands.size(), 13);
    QStringList requests{QString()};
    for (const QString& command : commands) requests << command + QStringLiteral("|--");
    const QStringList offered = Complete(requests);
    ASSERT_GE(offered.size(), requests.size());
    const QStringList everything =
        commands + QStringList{QStringLiteral("--help"), QStringLiteral("--version")};
    EXPECT_EQ(offered[0].split(QLatin1Char(' ')), everything);
    for (qsizetype k = 0; k < commands.size(); ++k) {
        const QStringList options =
            Listed(Cli({commands[k], "--help"}).out, QStringLiteral("^  (--[a-z-]+)"));
        EXPECT_EQ(offered[k + 1].split(QLatin1Char(' '), Qt::SkipEmptyParts),
                  options + QStringList{QStringLiteral("--help")})
            << commands[k].toStdString();
    }
}

TEST(CliCompletion, OffersValuesAndArgumentsByTheirKind) {
    const struct {
        const char* line;
        const char* offered;
    } cases[] = {
        {"list|", "<files -d>"},
        {"new|--root|", "<files -d>"},
        {"new|--root|r|", ""},
        {"compile|p|--ball|", "1 2"},
        {"inspect|d.bin|--layer|", "inner outer"},
        {"inspect|", "<files bin>"},
        {"inspect|d.bin|--png|", "<files png>"},
        {"add|p|1|", "picture animation text interval"},
        {"add|p|1|text|", ""},
        {"set-text|p|1|1|t|--color|ye", "yellow"},
        {"set-text|p|1|1|--font|", ""},
        // A value given to an option is not an argument: FILE is still the fourth.
        {"set-source|p|1|--frames|5|1|",
         "<files "
         "@(bmp|BMP|jpg|JPG|jpeg|JPEG|gif|GIF|png|PNG|webp|WEBP|tif|TIF|tiff|TIFF|mp4|MP4|webm|"
         "WEBM|mkv|MKV|mov|MOV|avi|AVI)>"},
        {"set-dither|p|1|1|o", "on off"},
        {"ball|--out|", "<files >"},
    };
    QStringList requests;
    for (const auto& c : cases) requests << QString::fromUtf8(c.line);
    const QStringList offered = Complete(requests);
    ASSERT_GE(offered.size(), requests.size());
    for (qsizetype k = 0; k < requests.size(); ++k)
        EXPECT_EQ(offered[k], QString::fromUtf8(cases[k].offered)) << cases[k].line;
}
