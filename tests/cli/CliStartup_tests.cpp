// SPDX-License-Identifier: GPL-3.0-or-later
// What glowdeck-cli loads at start: no OpenCV for any command, the drawing
// library (Qt Gui) only for the commands that draw, convert or edit (the
// reading ones hand nothing over), and the GUI-level application (its
// platform plugin and font setup) only for the commands that draw text.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "support/CliRunner.h"
#include "support/TempDir.h"

using glowdeck::test::Cli;
using glowdeck::test::CliRun;
using glowdeck::test::CliSetup;
using glowdeck::test::TempDir;

namespace {

// The shared objects the dynamic loader opened for one run (LD_DEBUG=files).
QStringList LoadedObjects(const QStringList& args, int* code) {
    TempDir log;
    CliSetup setup;
    setup.environment << QStringLiteral("LD_DEBUG=files")
                      << QStringLiteral("LD_DEBUG_OUTPUT=") + log.File(QStringLiteral("ld"));
    *code = Cli(args, setup).code;
    QStringList objects;
    for (const QString& name : QDir(log.Path()).entryList(QDir::Files)) {
        const QString text = QString::fromUtf8(glowdeck::test::ReadAll(log.File(name)));
        for (const QString& line : text.split(QLatin1Char('\n')))
            if (const auto at = line.indexOf(QStringLiteral("file=")); at >= 0)
                objects << line.mid(at + 5).section(QLatin1Char(' '), 0, 0);
    }
    return objects;
}

bool AnyContains(const QStringList& objects, const QString& part) {
    for (const QString& o : objects)
        if (o.contains(part)) return true;
    return false;
}

}  // namespace

TEST(CliStartup, ReadingCommandsLoadNoQtGuiOnlyTextDrawingOnesTheGuiPlatformNoneOpenCv) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", "--root", dir.Path(), "p"}).code, 0);
    const QString project = dir.File(QStringLiteral("p"));
    ASSERT_EQ(Cli({"add", project, "1", "text"}).code, 0);
    ASSERT_EQ(Cli({"add", project, "1", "interval"}).code, 0);
    ASSERT_EQ(Cli({"compile", project, "--no-cache"}).code, 0);
    const QString data = project + QStringLiteral("/data.bin");
    const QString png = dir.File(QStringLiteral("groups.png"));
    struct Case {
        QStringList args;
        int code;
        bool loadsQtGui;
        bool drawsText;
    };
    const Case cases[] = {
        {{"--version"}, 0, false, false},
        {{"--help"}, 0, false, false},
        {{"list", project}, 0, false, false},
        {{"list", project, "extra"}, 2, false, false},
        {{"inspect", data}, 0, false, false},
        {{"ports"}, 0, false, false},
        {{"list", "--help"}, 0, false, false},
        {{"compile", "--help"}, 0, false, false},
        {{"inspect", data, "--png", png}, 0, true, false},
        {{"set-interval", project, "1", "2", "--length", "9"}, 0, true, false},
        {{"set-text", project, "1", "1", "Hi"}, 0, true, true},
    };
    for (const Case& c : cases) {
        int code = -1;
        const QStringList objects = LoadedObjects(c.args, &code);
        const std::string what = c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(code, c.code) << what;
        ASSERT_TRUE(AnyContains(objects, QStringLiteral("libQt6Core"))) << what;  // the log is read
        EXPECT_FALSE(AnyContains(objects, QStringLiteral("opencv"))) << what;
        EXPECT_EQ(AnyContains(objects, QStringLiteral("libQt6Gui")), c.loadsQtGui) << what;
        EXPECT_EQ(AnyContains(objects, QStringLiteral("/platforms/libq")), c.drawsText) << what;
    }
    // The picture came from the full program the command was handed to.
    EXPECT_TRUE(QFileInfo(png).size() > 0);
}
