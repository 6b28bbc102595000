// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck-cli given a named pipe or a device where a file belongs: it says
// what the thing is and stops, instead of waiting on it or reading it forever.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "model/ProjectFile.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

// Far longer than any of these commands takes: a run that waits on a pipe
// is cut off here and fails.
constexpr int kHangMs = 60000;

bool MakeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

}  // namespace

TEST(CliSpecialFiles, AProjectFileThatIsAPipeOrADeviceIsRefusedAndLeftAlone) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", "--root", dir.Path(), "p"}).code, 0);
    const QString index = dir.File("p/Index.prj");
    ASSERT_TRUE(QFile::remove(index));
    ASSERT_TRUE(MakeFifo(index));
    for (const QStringList& command : {QStringList{"list"}, QStringList{"add"}}) {
        QStringList args = command;
        args << dir.File("p");
        if (command[0] == QLatin1String("add"))
            args << "1"
                 << "picture";
        const CliRun run = Cli(args, kHangMs);
        EXPECT_EQ(run.code, 1) << command[0].toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("a named pipe (FIFO)")))
            << run.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo(index).isFile());  // still the pipe, not replaced

    ASSERT_TRUE(QFile::remove(index));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), index));
    const CliRun zero = Cli({"list", dir.File("p")}, kHangMs);
    EXPECT_EQ(zero.code, 1);
    EXPECT_TRUE(zero.err.contains(QStringLiteral("a character device"))) << zero.err.toStdString();
}

TEST(CliSpecialFiles, SetSourceNamesWhatTheFileIs) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", "--root", dir.Path(), "p"}).code, 0);
    const QString project = dir.File("p");
    for (const char* kind : {"picture", "animation"})
        ASSERT_EQ(Cli({"add", project, "1", QString::fromLatin1(kind)}).code, 0);
    const QString fifo = dir.File("pipe.gif");
    ASSERT_TRUE(MakeFifo(fifo));
    const std::pair<QString, QString> sources[] = {
        {fifo, QStringLiteral("a named pipe (FIFO)")},
        {QStringLiteral("/dev/null"), QStringLiteral("a character device")},
        {dir.Path(), QStringLiteral("a folder")}};
    const CProjectFile before(project + QStringLiteral("/Index.prj"));
    for (const auto& [source, what] : sources) {
        for (const char* item : {"1", "2"}) {
            const CliRun run =
                Cli({"set-source", project, "1", QString::fromLatin1(item), source}, kHangMs);
            EXPECT_EQ(run.code, 1) << source.toStdString();
            EXPECT_TRUE(run.err.contains(what)) << run.err.toStdString();
        }
    }
    const CProjectFile after(project + QStringLiteral("/Index.prj"));
    EXPECT_EQ(after.Serialize(), before.Serialize());
}
