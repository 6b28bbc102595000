// SPDX-License-Identifier: GPL-3.0-or-later
// The interface language: chosen from the environment as Qt reads it, English
// from glowdeck-cli for an English user, Chinese unchanged in the C locale and
// for Chinese users, and the translation check that guards the English file.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "base/UiLanguage.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::TempDir;

namespace {

// Runs a program with only the variables a program needs and `settings`
// ("NAME=value" separated by spaces), so the developer's own language does
// not leak in. Returns stdout + stderr.
QString RunIn(const QString& program, const QStringList& args, const QString& settings) {
    QProcessEnvironment env;
    for (const char* keep : {"PATH", "HOME", "XDG_RUNTIME_DIR"})
        env.insert(QString::fromLatin1(keep), qEnvironmentVariable(keep));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString& setting : settings.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int eq = setting.indexOf(QLatin1Char('='));
        env.insert(setting.left(eq), setting.mid(eq + 1));
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

}  // namespace

TEST(UiLanguage, ChineseAndTheCLocaleKeepChineseEveryOtherLanguageGetsEnglish) {
    const struct {
        const char* settings;
        const char* language;
    } cases[] = {
        {"", "Chinese"},  // nothing set: the C locale
        {"LANG=C", "Chinese"},
        {"LANG=C.UTF-8", "Chinese"},
        {"LANG=POSIX", "Chinese"},
        {"LANG=zh_CN.UTF-8", "Chinese"},
        {"LANG=zh_TW.UTF-8", "Chinese"},
        {"LANG=zh_CN.GB2312", "Chinese"},
        {"LANG=en_US.UTF-8", "English"},
        {"LANG=de_DE", "English"},
        {"LANG=ja_JP.UTF-8", "English"},
        {"LANG=garbage", "Chinese"},  // not a locale: Qt falls back to C
        {"LC_ALL=C LANG=en_US.UTF-8", "Chinese"},
        {"LC_ALL=en_US.UTF-8 LANG=zh_CN.UTF-8", "English"},
        {"LC_MESSAGES=en_US.UTF-8 LANG=zh_CN.UTF-8", "English"},
        {"LC_MESSAGES=zh_CN.UTF-8 LANG=en_US.UTF-8", "Chinese"},
        {"LC_MESSAGES=C LANG=en_US.UTF-8", "Chinese"},
        {"LANGUAGE=fr:en LANG=de_DE.UTF-8", "English"},
        {"LANGUAGE=fr:zh_CN LANG=de_DE.UTF-8", "Chinese"},  // the first we have decides
        {"LANGUAGE=zh_CN:en LANG=en_US.UTF-8", "Chinese"},
        {"LANGUAGE=en LANG=zh_CN.UTF-8", "English"},
        // Qt lists fr and en here; a script's C locale wins, as in gettext.
        {"LANGUAGE=fr:en LC_ALL=C", "Chinese"},
        {"LANGUAGE=fr:en", "Chinese"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        EXPECT_EQ(RunIn(QStringLiteral(GLOWDECK_LANGUAGE_PROBE), {}, QString::fromUtf8(c.settings)),
                  QString::fromUtf8(c.language) + QLatin1Char('\n'));
    }
}

TEST(UiLanguage, CliSpeaksEnglishToEnglishUsersAndKeepsItsChineseBytes) {
    TempDir dir;
    ASSERT_EQ(test::Cli({"new", "--root", dir.Path(), "p"}).code, 0);
    const QString project = dir.File("p");
    ASSERT_EQ(test::Cli({"add", project, "1", "text"}).code, 0);
    // U+0378 is unassigned: no font draws it, and the message names it.
    const QStringList args{"set-text", project, "1", "1", QStringLiteral("a\u0378")};
    const QString chinese = QStringLiteral("无法生成此种文字！（没有字体能显示“\u0378”）\n");
    const QString english =
        QStringLiteral("Cannot render this text! (No font can show “\u0378”)\n");
    const struct {
        const char* settings;
        const QString& said;
    } cases[] = {
        {"LANG=en_US.UTF-8", english}, {"LANGUAGE=fr:en LANG=fr_FR.UTF-8", english},
        {"LANG=C", chinese},           {"LANG=C.UTF-8", chinese},
        {"LANG=zh_CN.UTF-8", chinese}, {"LC_ALL=C LANG=en_US.UTF-8", chinese},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        EXPECT_EQ(RunIn(QStringLiteral(GLOWDECK_CLI), args, QString::fromUtf8(c.settings)), c.said);
    }
}

TEST(UiLanguage, TheProjectsDefaultNamesAndRefusalsFollowTheLanguage) {
    const struct {
        const char* settings;
        const char* group;
        const char* picture;
        const char* noGroup;
    } cases[] = {
        {"LANG=en_US.UTF-8", "New group", "New picture", "Add a group first!"},
        {"LANG=C", "新建组", "新建图片", "请先添加一个组!"},
        {"LANG=zh_CN.UTF-8", "新建组", "新建图片", "请先添加一个组!"},
    };
    const QString cli = QStringLiteral(GLOWDECK_CLI);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        const QString settings = QString::fromUtf8(c.settings);
        TempDir dir;
        RunIn(cli, {"new", "--root", dir.Path(), "p"}, settings);
        const QString project = dir.File("p");
        EXPECT_EQ(RunIn(cli, {"add-group", project}, settings),
                  QStringLiteral("group 2 %1\n").arg(QString::fromUtf8(c.group)));
        // The line ends with the item's fresh id.
        EXPECT_TRUE(RunIn(cli, {"add", project, "1", "picture"}, settings)
                        .startsWith(QStringLiteral("group 1 item 1 picture %1 ")
                                        .arg(QString::fromUtf8(c.picture))));
        EXPECT_EQ(RunIn(cli, {"add", project, "3", "picture"}, settings),
                  QString::fromUtf8(c.noGroup) + QLatin1Char('\n'));
        EXPECT_TRUE(RunIn(cli, {"list", project}, settings)
                        .contains(QStringLiteral("group 1 %1\n").arg(QString::fromUtf8(c.group))));
    }
}

TEST(UiLanguage, TheGuideIsTheEnglishPageOnlyForEnglishAndOnlyWhenItIsThere) {
    TempDir both, chineseOnly;
    both.Write("index.html", "<html>指南</html>");
    both.Write("index.en.html", "<html>guide</html>");
    chineseOnly.Write("index.html", "<html>指南</html>");
    EXPECT_EQ(GuidePage(both.Path(), UiLanguage::English), both.File("index.en.html"));
    EXPECT_EQ(GuidePage(both.Path(), UiLanguage::Chinese), both.File("index.html"));
    EXPECT_EQ(GuidePage(chineseOnly.Path(), UiLanguage::English), chineseOnly.File("index.html"));
}

TEST(TranslationCheck, FailsOnUnfinishedChineseInEnglishUnknownGuideNamesAndUntranslatedLiterals) {
    TempDir dir;
    const QString ts = dir.Write("t.ts", R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Send</name>
    <message><source>发送完毕!</source><translation>Sending complete!</translation></message>
    <message><source>发送失败！</source><translation type="unfinished"></translation></message>
    <message><source>串口未打开</source><translation>The port is 未打开</translation></message>
    <message><source>第%1个数据包已发送！</source><translation>Packet %1 sent！</translation></message>
    <message><source>旧文字</source><translation type="vanished"></translation></message>
    <message><source>文件(&amp;F)</source><translation>&amp;File</translation></message>
</context>
</TS>
)");
    const QString source = dir.Write("s.cpp", R"(// "注释里的文字" is no text
const char kFace[] = "宋体";  // untranslated
QString a() { return QCoreApplication::translate("Send", "发送完毕!"); }
QString b() { return QStringLiteral("第%1个" "数据包已发送！"); }
QString c() { return QStringLiteral("没有翻译\n的文字"); }
char d() { return '"'; }
)");
    const QString guide = dir.Write("index.en.html",
                                    "<p>Guide</p>\n<p>Open the “文件” menu</p>\n<p><b>File → "
                                    "Sending complete!</b>, <b>Sent</b></p>\n");
    QProcess check;
    check.start(QStringLiteral(GLOWDECK_TRANSLATION_CHECK),
                {ts, QStringLiteral("--english"), guide, source});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 1);
    const QStringList faults = QString::fromUtf8(check.readAllStandardError())
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(faults,
              (QStringList{
                  ts + QStringLiteral(": [Send] \"发送失败！\": no finished English translation"),
                  ts + QStringLiteral(": [Send] \"串口未打开\": the English text has Chinese "
                                      "characters: The port is 未打开"),
                  ts + QStringLiteral(": [Send] \"第%1个数据包已发送！\": the English text has "
                                      "Chinese characters: Packet %1 sent！"),
                  guide + QStringLiteral(":2: Chinese characters in an English text: <p>Open "
                                         "the “文件” menu</p>"),
                  guide + QStringLiteral(":3: \"Sent\" is not a name the program shows"),
                  source + QStringLiteral(":5: \"没有翻译\" does not go through the translation"),
                  source + QStringLiteral(":5: \"的文字\" does not go through the translation"),
                  QStringLiteral("7 translation faults"),
              }));
}
