// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of every project edit: the project file and Images/ come
// back byte for byte, a failed write changes nothing, and a program killed
// between steps leaves a project that opens.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <csignal>
#include <functional>

#include "led/ImageCodec.h"
#include "model/GlowdeckDoc.h"
#include "model/ImageUse.h"
#include "model/ItemOperations.h"
#include "model/ProjectFile.h"
#include "support/GifBuilder.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

// The project as it is on disk: the project file and every file of Images/.
struct State {
    QByteArray project;
    QMap<QString, QByteArray> images;
    bool operator==(const State& o) const { return project == o.project && images == o.images; }
    bool operator!=(const State& o) const { return !(*this == o); }
};

State Read(const CGlowdeckDoc& doc) {
    State s;
    s.project = ReadAll(doc.ProjectFilePath());
    const QDir images(doc.ImagesFolder());
    for (const QString& name : images.entryList(QDir::Files | QDir::Hidden))
        s.images.insert(name, ReadAll(images.filePath(name)));
    return s;
}

// Every file of Images/ is one an item names, and every item's file is there.
void ExpectImagesExactlyUsed(const CGlowdeckDoc& doc, const char* when) {
    const QSet<QString> ids = image_use::IdSet(doc.ProjectFile()->AllIds());
    QSet<QString> stems;
    for (const QString& name : QDir(doc.ImagesFolder()).entryList(QDir::Files)) {
        EXPECT_TRUE(image_use::InUse(name, ids)) << when << ": unused " << name.toStdString();
        stems.insert(QFileInfo(name).completeBaseName().toLower());
    }
    EXPECT_EQ(stems, ids) << when;
}

// A project with two groups and an item of every kind, history on.
class UndoTest : public ::testing::Test {
protected:
    UndoTest() : doc_(sink_) { Open(doc_); }
    void Open(CGlowdeckDoc& doc) {
        doc.SetHistoryEnabled(true);
        doc.SetProjectRoot(dir_.Path());
        if (QFileInfo::exists(dir_.File(QStringLiteral("p")))) {
            ASSERT_TRUE(doc.OpenProjectFolder(dir_.File(QStringLiteral("p"))));
            return;
        }
        ASSERT_TRUE(doc.CreateProjectNamed(QStringLiteral("p")));
        ASSERT_TRUE(doc.NewGroup(QStringLiteral("二")));
        ASSERT_TRUE(doc.NewPicture(1, QStringLiteral("图")));
        ASSERT_TRUE(doc.NewAnimation(1, QStringLiteral("动")));
        ASSERT_TRUE(doc.NewText(1, QStringLiteral("文")));
        ASSERT_TRUE(doc.NewInterval(1, QStringLiteral("隔")));
        ASSERT_TRUE(doc.NewPicture(2, QStringLiteral("景")));
        doc.UndoStack().clear();
    }
    QString Photo() {
        QImage photo(120, 60, QImage::Format_RGB32);
        photo.fill(Qt::blue);
        const QString path = dir_.File(QStringLiteral("photo.bmp"));
        EXPECT_TRUE(EncodeImage(photo, path, QStringLiteral("image/bmp")));
        return path;
    }
    QString Gif() {
        return dir_.Write(QStringLiteral("a.gif"),
                          BuildGif(8, 4, {qRgb(0, 0, 0), qRgb(255, 0, 0)}, 0,
                                   {FilledFrame(0, 0, 8, 4, 1), FilledFrame(0, 0, 8, 4, 0)}));
    }

    TempDir dir_;
    RecordingSink sink_;
    CGlowdeckDoc doc_;
};

}  // namespace

TEST_F(UndoTest, EveryEditUndoesAndRedoesByteForByte) {
    const QString photo = Photo(), gif = Gif();
    QImage painted(30, 20, QImage::Format_RGB32);
    painted.fill(Qt::red);
    item_ops::ConversionSettings settings;
    settings.r = 10;
    settings.dither = true;
    settings.loop = 3;
    settings.speed = 2;
    item_ops::TextSettings text;
    text.text = QStringLiteral("Hi");
    struct Row {
        const char* name;
        std::function<EditResult(CGlowdeckDoc&)> edit;
        const char* step;  // the undo step's name
    };
    const std::vector<Row> edits = {
        {"add group", [](CGlowdeckDoc& d) { return d.NewGroup(QStringLiteral("新")); }, "添加“新”"},
        {"rename group", [](CGlowdeckDoc& d) { return d.RenameGroup(1, QStringLiteral("改")); },
         "重命名“新建组”"},
        {"delete group", [](CGlowdeckDoc& d) { return d.DeleteGroup(1); }, "删除“新建组”"},
        {"copy group", [](CGlowdeckDoc& d) { return d.CopyGroup(1, 2); }, "复制“新建组”"},
        {"move group", [](CGlowdeckDoc& d) { return d.MoveGroup(1, 2); }, "移动“新建组”"},
        {"add item", [](CGlowdeckDoc& d) { return d.NewText(2, QStringLiteral("新")); },
         "添加“新”"},
        {"rename item", [](CGlowdeckDoc& d) { return d.RenameItem(1, 2, QStringLiteral("改")); },
         "重命名“动”"},
        {"delete item", [](CGlowdeckDoc& d) { return d.DeleteItem(1, 1); }, "删除“图”"},
        {"copy item", [](CGlowdeckDoc& d) { return d.CopyItem(1, 1, 2, 0); }, "复制“图”"},
        {"move item", [](CGlowdeckDoc& d) { return d.MoveItem(1, 4, 2, 1); }, "移动“隔”"},
        {"choose picture",
         [&](CGlowdeckDoc& d) { return item_ops::SetPictureSource(d, 0, 0, photo); },
         "选择源文件“图”"},
        {"choose animation",
         [&](CGlowdeckDoc& d) { return item_ops::SetAnimationSource(d, 0, 1, gif); },
         "选择源文件“动”"},
        {"confirm text", [&](CGlowdeckDoc& d) { return item_ops::ConfirmText(d, 0, 2, text); },
         "确认文字“文”"},
        {"apply interval",
         [](CGlowdeckDoc& d) { return item_ops::ApplyInterval(d, 0, 3, 40, 0xFF); },
         "应用间隔“隔”"},
        {"replace picture",
         [&](CGlowdeckDoc& d) { return item_ops::ReplacePicture(d, 1, 0, painted); },
         "置换图片“景”"},
        {"store settings",
         [&](CGlowdeckDoc& d) { return item_ops::StoreSettings(d, 0, 1, settings); }, "设置“动”"},
    };
    for (const auto& [name, edit, step] : edits) {
        SCOPED_TRACE(name);
        TempDir dir;
        RecordingSink sink;
        QString history;
        {
            CGlowdeckDoc doc(sink);
            doc.SetHistoryEnabled(true);
            doc.SetProjectRoot(dir.Path());
            ASSERT_TRUE(doc.CreateProjectNamed(QStringLiteral("p")));
            ASSERT_TRUE(doc.NewGroup(QStringLiteral("二")));
            const std::pair<ItemKind, QString> items[] = {
                {ItemKind::Picture, QStringLiteral("图")},
                {ItemKind::Animation, QStringLiteral("动")},
                {ItemKind::Text, QStringLiteral("文")},
                {ItemKind::Interval, QStringLiteral("隔")}};
            for (const auto& [kind, itemName] : items) ASSERT_TRUE(doc.NewItem(kind, 1, itemName));
            ASSERT_TRUE(doc.NewPicture(2, QStringLiteral("景")));
            const State before = Read(doc);
            const int steps = doc.UndoStack().count();
            const EditResult done = edit(doc);
            ASSERT_TRUE(done) << done.message.toStdString();
            const State after = Read(doc);
            ASSERT_NE(after, before);
            EXPECT_EQ(doc.UndoStack().count(), steps + 1);
            EXPECT_EQ(doc.UndoStack().undoText(), QString::fromUtf8(step));
            ExpectImagesExactlyUsed(doc, "done");

            ASSERT_TRUE(doc.Undo());
            EXPECT_EQ(Read(doc), before);
            EXPECT_EQ(doc.ProjectFile()->Serialize(), before.project);
            EXPECT_EQ(doc.UndoStack().redoText(), QString::fromUtf8(step));
            ExpectImagesExactlyUsed(doc, "undone");
            ASSERT_TRUE(doc.Redo());
            EXPECT_EQ(Read(doc), after);
            EXPECT_EQ(doc.ProjectFile()->Serialize(), after.project);
            ExpectImagesExactlyUsed(doc, "redone");
            ASSERT_TRUE(doc.Undo());
            EXPECT_EQ(Read(doc), before);
            history = doc.HistoryFolder();
        }
        // Closing the project removes the history with it.
        EXPECT_FALSE(QFileInfo::exists(history));
        EXPECT_EQ(sink.texts, QStringList());
    }
}

TEST_F(UndoTest, StepsAreKeptUpToTheLimitAndANewEditDropsTheRedo) {
    for (int n = 0; n < CGlowdeckDoc::UndoLimit + 5; ++n)
        ASSERT_TRUE(doc_.RenameGroup(1, QString::number(n)));
    EXPECT_EQ(doc_.UndoStack().count(), CGlowdeckDoc::UndoLimit);
    ASSERT_TRUE(doc_.Undo());
    EXPECT_EQ(doc_.ProjectFile()->GroupName(0), QString::number(CGlowdeckDoc::UndoLimit + 3));
    ASSERT_TRUE(doc_.RenameGroup(2, QStringLiteral("x")));
    EXPECT_FALSE(doc_.UndoStack().canRedo());
    EXPECT_FALSE(doc_.Redo());
    // An edit that changes nothing is no step an undo would spend itself on.
    const int steps = doc_.UndoStack().index();
    ASSERT_TRUE(doc_.RenameGroup(2, QStringLiteral("x")));
    ASSERT_TRUE(
        item_ops::StoreSettings(doc_, 0, 1, item_ops::ReadSettings(*doc_.ProjectFile(), 0, 1)));
    EXPECT_EQ(doc_.UndoStack().index(), steps);
    EXPECT_EQ(doc_.UndoStack().undoText(), QStringLiteral("重命名“二”"));
}

TEST_F(UndoTest, AnUndoThatCannotBeWrittenChangesNothing) {
    ASSERT_TRUE(item_ops::ReplacePicture(doc_, 0, 0, QImage(Photo())));
    ASSERT_TRUE(doc_.DeleteItem(1, 2));
    const State before = Read(doc_);
    const QStringList kept = QDir(doc_.HistoryFolder()).entryList(QDir::Files);
    ASSERT_EQ(kept.size(), 2);  // the replaced picture and the deleted animation

    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = limit;
    none.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    const EditResult undone = doc_.Undo();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(undone);
    EXPECT_TRUE(undone.message.startsWith(QStringLiteral("撤销失败，项目保持原样")))
        << undone.message.toStdString();
    EXPECT_EQ(Read(doc_), before);
    EXPECT_EQ(doc_.ProjectFile()->Serialize(), before.project);
    EXPECT_EQ(QDir(doc_.HistoryFolder()).entryList(QDir::Files), kept);
    EXPECT_EQ(doc_.UndoStack().index(), 2);
    // Once it can be written, the same step undoes.
    ASSERT_TRUE(doc_.Undo());
    EXPECT_EQ(doc_.ProjectFile()->ItemCount(0), 4);
    ExpectImagesExactlyUsed(doc_, "undone");
}

TEST_F(UndoTest, AKilledProgramLeavesAProjectThatOpens) {
    const QString photo = Photo();
    doc_.CloseHistory();
    const QString folder = doc_.ProjectFolder();
    // Free the project for the child.
    ASSERT_TRUE(doc_.OpenProjectFolder(dir_.Path()));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        RecordingSink sink;
        CGlowdeckDoc doc(sink);
        doc.SetHistoryEnabled(true);
        if (!doc.OpenProjectFolder(folder)) ::_exit(2);
        // Edits and undos without end, until the parent kills it.
        for (int n = 0;; ++n) {
            bool ok = false;
            switch (n % 4) {
                case 0:
                    ok = bool(item_ops::SetPictureSource(doc, 0, 0, photo));
                    break;
                case 1:
                    ok = bool(doc.DeleteItem(1, 2));
                    break;
                default:
                    ok = bool(doc.Undo());
                    break;
            }
            if (!ok) ::_exit(3);
            if (n == 8) (void)!::write(ready[1], "x", 1);
        }
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    CGlowdeckDoc reopened(sink_);
    reopened.SetHistoryEnabled(true);
    ASSERT_TRUE(reopened.OpenProjectFolder(folder));
    ASSERT_TRUE(reopened.ProjectFile()->Loaded());
    EXPECT_FALSE(QFileInfo::exists(reopened.HistoryFolder()));
    for (const QString& id : reopened.ProjectFile()->AllIds())
        EXPECT_FALSE(QDir(reopened.ImagesFolder())
                         .entryList({id + QStringLiteral(".*")}, QDir::Files)
                         .isEmpty())
            << id.toStdString();
    EXPECT_EQ(reopened.UndoStack().count(), 0);
}

TEST_F(UndoTest, CleanRemovesTheHistoryAndTheCommandLineKeepsNone) {
    ASSERT_TRUE(doc_.DeleteItem(1, 1));
    ASSERT_TRUE(QFileInfo::exists(doc_.HistoryFolder()));
    const image_use::Removal removal = doc_.RemoveUnusedImages();
    EXPECT_TRUE(removal.ok) << removal.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(doc_.HistoryFolder()));
    EXPECT_FALSE(doc_.UndoStack().canUndo());

    // Without history (the command line) a deletion removes the file and
    // keeps no step.
    doc_.SetHistoryEnabled(false);
    const QString id = doc_.ProjectFile()->ItemId(0, 0);
    ASSERT_TRUE(doc_.DeleteItem(1, 1));
    EXPECT_TRUE(QDir(doc_.ImagesFolder()).entryList({id + QStringLiteral(".*")}).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(doc_.HistoryFolder()));
    EXPECT_EQ(doc_.UndoStack().count(), 0);
}
