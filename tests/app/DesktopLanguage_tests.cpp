// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program in the user's language: a message box of the core with
// Qt's own buttons, the guide's page, and the started main window with the
// dialogs of the start, under English, C and Chinese environments. Each
// environment runs in a child of this test binary, since a process reads its
// locale once.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>
#include <cstdio>

#include "app/AppTranslations.h"
#include "app/CChoiceDlg.h"
#include "app/CNewProjectDlg.h"
#include "app/CStartDlg.h"
#include "app/QtMessageSink.h"
#include "base/AccessError.h"
#include "base/UiLanguage.h"
#include "editors/CColorComboBox.h"
#include "support/StartedFrame.h"
#include "support/TempDir.h"

using namespace glowdeck;

namespace {

// Runs the child tests `filter` of this binary in the environment `settings`
// ("NAME=VALUE ..."); true when they ran and passed, with their output in `out`.
bool RunChild(const char* settings, const char* filter, QString& out) {
    QProcessEnvironment env;
    for (const char* keep : {"PATH", "HOME", "XDG_RUNTIME_DIR"})
        env.insert(QString::fromLatin1(keep), qEnvironmentVariable(keep));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("GLOWDECK_LANGUAGE_CHILD"), QStringLiteral("1"));
    for (const QString& setting :
         QString::fromUtf8(settings).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + QString::fromLatin1(filter)});
    const bool finished = child.waitForFinished(60000);
    out = QString::fromUtf8(child.readAllStandardOutput());
    return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

bool HasChinese(const QString& text) {
    for (const QChar c : text)
        if ((c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF) ||
            (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF))
            return true;
    return false;
}

// Every text a user can read in `widget` and its children: titles, labels,
// buttons, fields, tabs, list entries and the actions of its menus.
QStringList ShownTexts(const QWidget& widget) {
    QStringList texts{widget.windowTitle()};
    for (const QAction* action : widget.findChildren<QAction*>())
        texts << action->text() << action->toolTip() << action->statusTip();
    for (const QWidget* child : widget.findChildren<QWidget*>()) {
        texts << child->windowTitle() << child->toolTip() << child->statusTip();
        if (auto* label = qobject_cast<const QLabel*>(child)) texts << label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(child)) texts << button->text();
        if (auto* edit = qobject_cast<const QLineEdit*>(child)) texts << edit->text();
        if (auto* box = qobject_cast<const QGroupBox*>(child)) texts << box->title();
        if (auto* tabs = qobject_cast<const QTabBar*>(child))
            for (int k = 0; k < tabs->count(); ++k) texts << tabs->tabText(k);
        if (auto* combo = qobject_cast<const QComboBox*>(child))
            for (int k = 0; k < combo->count(); ++k) texts << combo->itemText(k);
        if (auto* menu = qobject_cast<const QMenu*>(child)) texts << menu->title();
    }
    return texts;
}

class EnglishFrame : public test::StartedFrame {
public:
    EnglishFrame() : StartedFrame(QStringLiteral("demo")) {}
    const CMainFrame& Frame() const { return *frame_; }
    bool Started() const { return started_; }
};

}  // namespace

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

// The child: the main window started as the user starts it, and the dialogs
// of the start; prints the menu titles and every shown text with Chinese in it.
TEST(DesktopLanguageChild, StartsTheMainWindow) {
    if (!qEnvironmentVariableIsSet("GLOWDECK_LANGUAGE_CHILD"))
        GTEST_SKIP() << "started by DesktopLanguage in an environment of its own";
    InstallTranslations(*QCoreApplication::instance());
    EnglishFrame started;
    ASSERT_TRUE(started.Started());
    QStringList titles;
    for (const QAction* menu : started.Frame().menuBar()->actions()) titles << menu->text();
    std::printf("menus: %s\n", titles.join(QLatin1Char('|')).toUtf8().constData());
    test::RecordingSink sink;
    const std::unique_ptr<QDialog> dialogs[] = {
        std::make_unique<CStartDlg>(), std::make_unique<CNewProjectDlg>(),
        std::unique_ptr<QDialog>(CChoiceDlg::BallTypeDialog(sink, nullptr)),
        std::unique_ptr<QDialog>(CChoiceDlg::LayerDialog(sink, nullptr))};
    QStringList texts = ShownTexts(started.Frame());
    for (const auto& dialog : dialogs) texts << ShownTexts(*dialog);
    texts << ShownTexts(CColorComboBox());
    for (const QString& text : texts)
        if (HasChinese(text)) std::printf("chinese: %s\n", text.toUtf8().constData());
}

// The desktop's menus and the dialogs of its start speak English to an
// English-speaking user, and Chinese in the C locale.
TEST(DesktopLanguage, MainWindowMenusFollowTheLanguage) {
    const struct {
        const char* settings;
        const char* menus;
        bool chinese;
    } cases[] = {
        {"LANGUAGE=en LANG=zh_CN.UTF-8", "&File|&Edit|F&unctions|&View|&Layer|&Help", false},
        {"LANG=de_DE.UTF-8", "&File|&Edit|F&unctions|&View|&Layer|&Help", false},
        {"LANG=C.UTF-8", "文件(&F)|编辑(&E)|功能(&F)|查看(&V)|内外层选择(&S)|帮助(&H)", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        QString out;
        ASSERT_TRUE(RunChild(c.settings, "DesktopLanguageChild.StartsTheMainWindow", out))
            << out.toStdString();
        const int at = out.indexOf(QStringLiteral("menus: "));
        ASSERT_GE(at, 0) << out.toStdString();
        EXPECT_EQ(out.mid(at + 7).section('\n', 0, 0), QString::fromUtf8(c.menus));
        EXPECT_EQ(out.contains(QStringLiteral("chinese: ")), c.chinese) << out.toStdString();
    }
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
        QString out;
        EXPECT_TRUE(
            RunChild(c.settings, "DesktopLanguageChild.ShowsAQuestionAndChoosesTheGuide", out))
            << out.toStdString();
        const int at = out.indexOf(QStringLiteral("seen: "));
        ASSERT_GE(at, 0) << out.toStdString();
        EXPECT_EQ(out.mid(at + 6).section('\n', 0, 0), c.seen);
    }
}
