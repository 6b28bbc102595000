// SPDX-License-Identifier: GPL-3.0-or-later
// Image files that no item uses: removed after every saved edit that
// replaces or deletes them, and by the clean command; never a file an item
// still uses, nothing outside the Images folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "led/GifWriter.h"
#include "led/ImageCodec.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "model/ProjectFile.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

class Cleaning : public ::testing::Test {
protected:
    Cleaning() : doc_(sink_) {
        doc_.SetProjectRoot(dir_.Path());
        EXPECT_TRUE(doc_.CreateProjectNamed(QStringLiteral("p")));
    }
    CProjectFile& File() { return *doc_.ProjectFile(); }
    QStringList Files() const {
        return QDir(doc_.ImagesFolder()).entryList(QDir::Files | QDir::System, QDir::Name);
    }
    // The files the items name, one for each id.
    QStringList Used() {
        doc_.RebuildPathTables();
        QStringList names;
        for (int g = 0; g < File().GroupCount(); ++g)
            for (int i = 0; i < File().ItemCount(g); ++i)
                names << QFileInfo(doc_.SourceImagePath(g, i)).fileName();
        names.removeDuplicates();
        names.sort();
        return names;
    }
    QString Image(const char* name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::green);
        const QString path = dir_.File(QString::fromLatin1(name));
        EXPECT_TRUE(EncodeImage(image, path, QStringLiteral("image/jpeg")));
        return path;
    }

    TempDir dir_;
    RecordingSink sink_;
    CGlowdeckDoc doc_;
};

}  // namespace

TEST_F(Cleaning, EverySavedReplacementOrDeletionLeavesExactlyTheFilesItemsUse) {
    // Group 1: picture, its copy (same id, same file), text, interval,
    // animation; group 2: a picture.
    ASSERT_TRUE(doc_.NewPicture(1, QStringLiteral("P")));
    ASSERT_TRUE(doc_.CopyItem(1, 1, 1, 1));
    ASSERT_TRUE(doc_.NewText(1, QStringLiteral("T")));
    ASSERT_TRUE(doc_.NewInterval(1, QStringLiteral("I")));
    ASSERT_TRUE(doc_.NewAnimation(1, QStringLiteral("A")));
    ASSERT_TRUE(doc_.NewGroup(QStringLiteral("二")));
    ASSERT_TRUE(doc_.NewPicture(2, QStringLiteral("Q")));
    const QString photo = Image("photo.jpg", 60, 30);
    const QString gif = dir_.File("spin.gif");
    QByteArray gifBytes;
    QImage frame(8, 8, QImage::Format_RGB32);
    frame.fill(Qt::blue);
    ASSERT_TRUE(EncodeGif({frame, frame}, {10, 10}, 0, &gifBytes));
    dir_.Write("spin.gif", gifBytes);
    QImage painted(30, 56, QImage::Format_RGB32);
    painted.fill(Qt::red);
    item_ops::TextSettings text;
    text.text = QStringLiteral("ab");

    struct Step {
        const char* what;
        std::function<EditResult()> run;
        int files;  // what remains in Images
    };
    const Step steps[] = {
        // The original still uses the shared file when its copy gets another.
        {"set-source of the copy", [&] { return item_ops::SetPictureSource(doc_, 0, 1, photo); },
         6},
        {"replace picture", [&] { return item_ops::ReplacePicture(doc_, 0, 0, painted); }, 6},
        {"set-text", [&] { return item_ops::ConfirmText(doc_, 0, 2, text); }, 6},
        {"set-interval", [&] { return item_ops::ApplyInterval(doc_, 0, 3, 5, 0xFF); }, 6},
        {"set-interval again", [&] { return item_ops::ApplyInterval(doc_, 0, 3, 6, 0); }, 6},
        {"animation source", [&] { return item_ops::SetAnimationSource(doc_, 0, 4, gif); }, 6},
        {"copy then delete the copy",
         [&] {
             EditResult copied = doc_.CopyItem(1, 1, 1, 1);
             return copied ? doc_.DeleteItem(1, 2) : copied;
         },
         6},
        {"delete item", [&] { return doc_.DeleteItem(1, 1); }, 5},
        {"delete group", [&] { return doc_.DeleteGroup(2); }, 4},
    };
    for (const Step& step : steps) {
        const EditResult result = step.run();
        ASSERT_TRUE(result.ok) << step.what << ": " << result.message.toStdString();
        EXPECT_EQ(Files(), Used()) << step.what;
        EXPECT_EQ(Files().size(), step.files) << step.what;
    }
}

TEST_F(Cleaning, AFailedEditRemovesOnlyItsNewFile) {
    ASSERT_TRUE(doc_.NewInterval(1, QStringLiteral("I")));
    const QStringList before = Files();
    // The project file cannot be replaced: the edit gets as far as its save.
    ASSERT_TRUE(QFile::remove(doc_.ProjectFilePath()));
    ASSERT_TRUE(QDir().mkdir(doc_.ProjectFilePath()));
    EXPECT_FALSE(item_ops::ApplyInterval(doc_, 0, 0, 9, 0).ok);
    EXPECT_FALSE(doc_.DeleteItem(1, 1).ok);
    EXPECT_EQ(Files(), before);
}

TEST_F(Cleaning, CleanRemovesUnusedFilesAndLinksButNothingAnItemOrABackupNames) {
    ASSERT_TRUE(doc_.NewPicture(1, QStringLiteral("P")));
    const QString id = File().GetAttr(0, 0, "id");
    const QString images = doc_.ImagesFolder();
    dir_.Write("p/Images/old.bmp", "12345");
    dir_.Write("p/Images/" + id + ".bmp.1-0123abcd.tmp", "tmp");
    dir_.Write("p/Images/" + id.toLower() + ".JPG", "same id, other case");
    dir_.Write("p/Images/keep.gif", "named by the copy of an unreadable project file");
    dir_.Write("p/Index.prj.bak", "<project><group><gif name=\"x\" id=\"keep\"><len");
    dir_.Write("p/Images/sub/inner.bmp", "folders stay");
    const QString outside = dir_.Write("outside.bmp", "not the project's");
    ASSERT_TRUE(QFile::link(outside, images + QStringLiteral("link.bmp")));

    const image_use::Removal removal = doc_.RemoveUnusedImages();
    EXPECT_TRUE(removal.ok) << removal.message.toStdString();
    QStringList removed = removal.removed;
    removed.sort();
    EXPECT_EQ(removed, QStringList({id + ".bmp.1-0123abcd.tmp", "link.bmp", "old.bmp"}));
    EXPECT_EQ(removal.bytes, 8);  // the link counts nothing
    QStringList kept = Files();
    kept.sort();
    QStringList expected = {id.toLower() + ".JPG", id + ".bmp", "keep.gif"};
    expected.sort();
    EXPECT_EQ(kept, expected);
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_TRUE(QFile::exists(images + QStringLiteral("sub/inner.bmp")));
    EXPECT_TRUE(doc_.RemoveUnusedImages().removed.isEmpty());
}

TEST(CleaningRefused, NothingIsRemovedWhereWhatIsUsedCannotBeKnown) {
    struct Case {
        const char* what;
        // Changes the project p under `root`; returns where to put an unused file.
        std::function<QString(CGlowdeckDoc&, const TempDir& root)> arrange;
        const char* message;
    };
    const Case cases[] = {
        {"Images is a link to a folder outside",
         [](CGlowdeckDoc& doc, const TempDir& root) {
             const QString images = QDir::cleanPath(doc.ImagesFolder());
             EXPECT_TRUE(QDir().rename(images, root.File("elsewhere")));
             EXPECT_TRUE(QFile::link(root.File("elsewhere"), images));
             return root.File("elsewhere/stray.bmp");
         },
         "图像文件夹不是项目中的文件夹"},
        {"an item's id leaves the folder",
         [](CGlowdeckDoc& doc, const TempDir&) {
             doc.ProjectFile()->SetAttr(0, 0, "id", QStringLiteral("../stray"));
             return doc.ImagesFolder() + QStringLiteral("stray.bmp");
         },
         "项目文件有误："},
        {"the project file could not be read",
         [](CGlowdeckDoc& doc, const TempDir& root) {
             root.Write("p/Index.prj", "<project><group>");
             EXPECT_TRUE(doc.OpenProjectFolder(doc.ProjectFolder()));
             return doc.ImagesFolder() + QStringLiteral("stray.bmp");
         },
         "项目文件无法读取"},
    };
    for (const Case& c : cases) {
        TempDir root;
        RecordingSink sink;
        CGlowdeckDoc doc(sink);
        doc.SetProjectRoot(root.Path());
        ASSERT_TRUE(doc.CreateProjectNamed(QStringLiteral("p")));
        ASSERT_TRUE(doc.NewPicture(1, QStringLiteral("P")));
        const QString stray = c.arrange(doc, root);
        QFile file(stray);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << c.what;
        file.close();
        const image_use::Removal removal = doc.RemoveUnusedImages();
        EXPECT_FALSE(removal.ok) << c.what;
        EXPECT_TRUE(removal.message.contains(QString::fromUtf8(c.message)))
            << c.what << ": " << removal.message.toStdString();
        EXPECT_TRUE(removal.removed.isEmpty()) << c.what;
        EXPECT_TRUE(QFile::exists(stray)) << c.what;
        // The picture's file beside it stays as well.
        EXPECT_EQ(QDir(QFileInfo(stray).absolutePath()).entryList(QDir::Files).size(), 2) << c.what;
    }
}
