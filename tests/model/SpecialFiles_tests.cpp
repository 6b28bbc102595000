// SPDX-License-Identifier: GPL-3.0-or-later
// Files that are not what their names promise: named pipes, devices, folders
// and files far larger than any real one. Each is refused at once by what it
// is, and nothing is written over it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "led/AnimationConverter.h"
#include "led/GifReader.h"
#include "led/ImageCodec.h"
#include "led/PictureConverter.h"
#include "model/GlowdeckDoc.h"
#include "model/IniFile.h"
#include "model/ProjectFile.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

struct Special {
    QString path;
    const char* reason;
};

// A named pipe, a link to /dev/zero and a folder, each named `name` in its own folder.
std::vector<Special> SpecialFiles(const TempDir& dir, const QString& name) {
    const QString fifo = dir.File(QStringLiteral("fifo/") + name);
    const QString zero = dir.File(QStringLiteral("zero/") + name);
    const QString folder = dir.File(QStringLiteral("folder/") + name);
    for (const char* sub : {"fifo", "zero"}) QDir().mkpath(dir.File(QLatin1String(sub)));
    EXPECT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    return {{fifo, "a named pipe (FIFO), not a regular file"},
            {zero, "a character device, not a regular file"},
            {folder, "a folder, not a regular file"}};
}

// A file of `size` zero bytes that takes no room on disk.
QString Sparse(const TempDir& dir, const QString& name, qint64 size) {
    QFile file(dir.File(name));
    QDir().mkpath(QFileInfo(file).absolutePath());
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
    return file.fileName();
}

}  // namespace

TEST(WholeFileRead, OnlyRegularFilesUpToTheCapAreRead) {
    TempDir dir;
    const std::vector<Special> special = SpecialFiles(dir, QStringLiteral("f"));
    for (const Special& c : special) {
        // Copying one is refused and leaves no file behind.
        QString why;
        EXPECT_FALSE(CopyFileAtomically(c.path, dir.File(QStringLiteral("copy")), &why));
        EXPECT_TRUE(why.contains(QString::fromLatin1(c.reason))) << why.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.File(QStringLiteral("copy"))));
    }
    std::vector<Special> cases = special;
    cases.push_back({Sparse(dir, QStringLiteral("big"), (1 << 20) + 1),
                     "1048577 bytes, more than the 1048576 bytes such a file can have"});
    cases.push_back({dir.File(QStringLiteral("absent")), "no such file"});
    for (const Special& c : cases) {
        QString why;
        EXPECT_FALSE(ReadWholeFile(c.path, 1 << 20, &why)) << c.reason;
        EXPECT_EQ(why, QString::fromLatin1(c.reason));
    }
    const std::optional<QByteArray> edge =
        ReadWholeFile(Sparse(dir, QStringLiteral("edge"), 1 << 20), 1 << 20, nullptr);
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->size(), 1 << 20);
}

TEST(SpecialFiles, ProjectFileIsRefusedAndAnOversizedOneKeptBesideTheFirstSave) {
    TempDir dir;
    for (const Special& c : SpecialFiles(dir, QStringLiteral("Index.prj"))) {
        CProjectFile file(c.path, QStringLiteral("p"));
        EXPECT_FALSE(file.Loaded()) << c.reason;
        EXPECT_EQ(file.LoadError(), QString::fromLatin1(c.reason));
        EXPECT_EQ(file.GroupCount(), 0);
    }
    const qint64 size = MaxProjectFileBytes + 1;
    const QString big = Sparse(dir, QStringLiteral("big/Index.prj"), size);
    CProjectFile file(big, QStringLiteral("p"));
    EXPECT_FALSE(file.Loaded());
    EXPECT_TRUE(file.LoadError().contains(QStringLiteral("67108865 bytes")));
    file.AppendGroup(QStringLiteral("g"));
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(QFileInfo(big + QStringLiteral(".bak")).size(), size);
    EXPECT_TRUE(CProjectFile(big).Loaded());
}

TEST(SpecialFiles, SettingsReadAsDefaultsAreReportedAndNeverWrittenOver) {
    TempDir dir;
    std::vector<Special> cases = SpecialFiles(dir, QStringLiteral("setting.ini"));
    cases.push_back({Sparse(dir, QStringLiteral("big/setting.ini"), CIniFile::MaxFileBytes + 1),
                     "1048577 bytes"});
    for (const Special& c : cases) {
        const QFileInfo before(c.path);
        CIniFile ini(c.path);
        EXPECT_TRUE(ini.LoadError().contains(QString::fromLatin1(c.reason))) << c.reason;
        EXPECT_EQ(ini.GetInt(QStringLiteral("TYPE"), QStringLiteral("TYPE"), 7), 7);
        EXPECT_FALSE(ini.SetString(QStringLiteral("TYPE"), QStringLiteral("TYPE"), "2"));
        const QFileInfo after(c.path);
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << c.reason;
        EXPECT_EQ(after.isFile(), before.isFile()) << c.reason;
        EXPECT_EQ(after.size(), before.size()) << c.reason;

        RecordingSink sink;
        CGlowdeckDoc doc(sink);
        doc.LoadSettings(QFileInfo(c.path).absolutePath());
        EXPECT_EQ(doc.ProjectRoot(), CGlowdeckDoc::DefaultProjectRoot());
        ASSERT_EQ(sink.texts.size(), 1) << c.reason;
        EXPECT_TRUE(sink.texts[0].contains(c.path)) << sink.texts[0].toStdString();
    }
}

TEST(SpecialFiles, ImageSourcesAreRefusedByWhatTheyAre) {
    TempDir dir;
    using Reader = std::function<QString(const QString&)>;
    const std::pair<const char*, Reader> readers[] = {
        {"picture",
         [](const QString& path) {
             CPictureConverter c;
             return c.LoadFile(path) ? QString() : c.LoadError();
         }},
        {"animation",
         [](const QString& path) {
             CAnimationConverter c;
             return c.LoadFile(path) ? QString() : c.LoadError();
         }},
        {"decode",
         [](const QString& path) {
             QString why;
             return DecodeImageScaled(path, QSize(56, 56), &why).isNull() ? why : QString();
         }},
        {"gif", [](const QString& path) {
             QString why;
             return ReadGifInfo(path, &why) ? QString() : why;
         }}};
    for (const Special& c : SpecialFiles(dir, QStringLiteral("source.gif"))) {
        for (const auto& [name, read] : readers)
            EXPECT_EQ(read(c.path), QString::fromLatin1(c.reason)) << name;
        EXPECT_FALSE(ImageFileSize(c.path).isValid());
        EXPECT_TRUE(ReadComposedFrames(c.path, 50).empty());
    }
}
