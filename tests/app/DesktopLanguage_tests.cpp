// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program in the user's language: a message box of the core with
// Qt's own buttons, and the guide's page, under English, C and Chinese
// environments. Each environment runs in a child of this test binary, since a
// process reads its locale once.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>
#include <cstdio>

#include "app/AppTranslations.h"
#include "app/QtMessageSink.h"
#include "base/AccessError.h"
#include "base/UiLanguage.h"
#include "support/TempDir.h"

using namespace glowdeck;

// The child: installs the translations as the program's start does, shows a
// question through the desktop's message boxes and prints what it showed.
TEST(DesktopLanguageChild, ShowsAQuestionAndChoosesTheGuide) {
    if (!qEnvironmentVariableIsSet("GLOWDECK_LANGUAGE_CHILD"))
        GTEST_SKIP() << "started by DesktopLanguage in an environment of its own";
    InstallTranslations(*QCoreApplication::instance());
    QString seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        seen = box->text() + QLatin1Char('|') + box->button(QMessageBox::Yes)->text() +
               QLatin1Char('|') + box->button(QMessageBox::No)->text();
        box->done(QMessageBox::No);
    });
    poll.start(5);
    QtMessageSink sink;
    EXPECT_EQ(sink.Show(DamagedProjectText(AccessError("x")), IMessageSink::Caption(),
                        IMessageSink::Icon::Question, IMessageSink::Buttons::YesNo),
              IMessageSink::Answer::No);
    test::TempDir help;
    help.Write("index.html", "<html>指南</html>");
    help.Write("index.en.html", "<html>guide</html>");
    seen += QLatin1Char('|') + GuidePage(help.Path(), CurrentUiLanguage()).section('/', -1);
    std::printf("seen: %s\n", seen.toUtf8().constData());
}

TEST(DesktopLanguage, EnglishForEnglishUsersChineseInTheCLocaleAndForChineseUsers) {
    const QString english = QStringLiteral("The project file is damaged: x|&Yes|&No|index.en.html");
    const QString chinese = QStringLiteral("项目文件有误：x|是(&Y)|否(&N)|index.html");
    const struct {
        const char* settings;
        const QString& seen;
    } cases[] = {
        {"LANG=en_US.UTF-8", english},
        {"LANG=de_DE.UTF-8", english},
        {"LANG=C", chinese},
        {"LANG=zh_CN.UTF-8", chinese},
        {"LC_ALL=C.UTF-8 LANG=en_US.UTF-8", chinese},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        QProcessEnvironment env;
        for (const char* keep : {"PATH", "HOME", "XDG_RUNTIME_DIR"})
            env.insert(QString::fromLatin1(keep), qEnvironmentVariable(keep));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("GLOWDECK_LANGUAGE_CHILD"), QStringLiteral("1"));
        for (const QString& setting :
             QString::fromUtf8(c.settings).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            env.insert(setting.section('=', 0, 0), setting.section('=', 1));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=DesktopLanguageChild.*")});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
        const int at = out.indexOf(QStringLiteral("seen: "));
        ASSERT_GE(at, 0) << out.toStdString();
        EXPECT_EQ(out.mid(at + 6).section('\n', 0, 0), c.seen);
    }
}
