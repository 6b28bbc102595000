// SPDX-License-Identifier: GPL-3.0-or-later
// Add, rename, delete, copy and move of groups and items; placeholders; the
// path table; the data-size account; the needs-compile flag.
#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>

#include "base/AccessError.h"
#include "led/GifReader.h"
#include "led/ImageCodec.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "model/ProjectFile.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

class Edits : public ::testing::Test {
protected:
    Edits() : doc_(sink_) {
        doc_.SetProjectRoot(dir_.Path());
        EXPECT_TRUE(doc_.CreateProjectNamed(QStringLiteral("p")));
        doc_.MarkCompiled(doc_.Revision());
    }
    CProjectFile& File() { return *doc_.ProjectFile(); }
    // Item names of group g (1-based), as one string "A B C".
    QString Names(int g) {
        QStringList names;
        for (int i = 0; i < File().ItemCount(g - 1); ++i) names << File().GetAttr(g - 1, i, "name");
        return names.join(QLatin1Char(' '));
    }
    QString Groups() {
        QStringList names;
        for (int g = 0; g < File().GroupCount(); ++g) names << File().GroupName(g);
        return names.join(QLatin1Char(' '));
    }
    void AddPictures(int g, const QStringList& names) {
        for (const QString& n : names) ASSERT_TRUE(doc_.NewPicture(g, n));
    }
    // The file on disk agrees with the tree in memory after every operation.
    void ExpectSaved() { EXPECT_EQ(ReadAll(doc_.ProjectFilePath()), File().Serialize()); }

    TempDir dir_;
    RecordingSink sink_;
    CGlowdeckDoc doc_;
};

}  // namespace

TEST_F(Edits, NewItemsAppendInCallOrderWithPlaceholderFiles) {
    AddPictures(1, {"A", "B", "C"});
    EXPECT_EQ(Names(1), QStringLiteral("A B C"));
    ExpectSaved();
    for (int i = 0; i < 3; ++i) {
        const QString path =
            doc_.ImagesFolder() + File().GetAttr(0, i, "id") + QStringLiteral(".bmp");
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray("jpeg")) << path.toStdString();
        EXPECT_EQ(reader.size(), QSize(400, 300));
    }
    EXPECT_TRUE(doc_.NeedsCompile());
}

TEST_F(Edits, EachKindGetsItsPlaceholderEncoding) {
    ASSERT_TRUE(doc_.NewAnimation(1, QStringLiteral("动")));
    ASSERT_TRUE(doc_.NewText(1, QStringLiteral("文")));
    ASSERT_TRUE(doc_.NewInterval(1, QStringLiteral("隔")));
    const QString dir = doc_.ImagesFolder();
    const QString gif = dir + File().GetAttr(0, 0, "id") + QStringLiteral(".gif");
    const auto info = ReadGifInfo(gif);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->frameCount, 1);
    EXPECT_EQ(QSize(info->width, info->height), QSize(400, 300));

    QImageReader text(dir + File().GetAttr(0, 1, "id") + QStringLiteral(".bmp"));
    text.setDecideFormatFromContent(true);
    EXPECT_EQ(text.format(), QByteArray("jpeg"));

    QImageReader interval(dir + File().GetAttr(0, 2, "id") + QStringLiteral(".jpg"));
    EXPECT_EQ(interval.format(), QByteArray("jpeg"));
    const QImage black = interval.read();
    ASSERT_EQ(black.size(), QSize(1, 56));
    for (int y = 0; y < 56; ++y) EXPECT_LT(qGray(black.pixel(0, y)), 8) << y;
}

TEST_F(Edits, NewItemsHoldTheirDefaultAttributes) {
    ASSERT_TRUE(doc_.NewText(1, QStringLiteral("t")));
    EXPECT_EQ(File().GetInt(0, 0, "r"), 100);
    EXPECT_EQ(File().GetText(0, 0, "text"), QStringLiteral("新文字"));
    EXPECT_EQ(File().GetText(0, 0, "font"), QStringLiteral("宋体"));
    EXPECT_EQ(File().GetInt(0, 0, "textcolor"), 255);
    ASSERT_TRUE(doc_.NewAnimation(1, QStringLiteral("a")));
    EXPECT_EQ(File().GetInt(0, 1, "length"), 74);
    EXPECT_EQ(File().GetInt(0, 1, "flength"), 1);
    EXPECT_EQ(File().GetIntList(0, 1, "interval"), std::vector<int>{0});
}

TEST_F(Edits, MoveItemFollowsTheInsertAfterRule) {
    AddPictures(1, {"A", "B", "C"});
    EXPECT_TRUE(doc_.MoveItem(1, 1, 1, 3));
    EXPECT_EQ(Names(1), QStringLiteral("B C A"));
    EXPECT_TRUE(doc_.MoveItem(1, 3, 1, 0));  // already last
    EXPECT_EQ(Names(1), QStringLiteral("B C A"));
    EXPECT_TRUE(doc_.MoveItem(1, 2, 1, 2));  // right after itself
    EXPECT_EQ(Names(1), QStringLiteral("B C A"));
    EXPECT_TRUE(doc_.MoveItem(1, 3, 1, 1));
    EXPECT_EQ(Names(1), QStringLiteral("B A C"));

    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("g2")));
    AddPictures(2, {"X"});
    doc_.MarkCompiled(doc_.Revision());
    EXPECT_TRUE(doc_.MoveItem(1, 1, 2, 0));
    EXPECT_EQ(Names(1), QStringLiteral("A C"));
    EXPECT_EQ(Names(2), QStringLiteral("X B"));
    EXPECT_FALSE(doc_.NeedsCompile());  // moving an item leaves the flag alone
    ExpectSaved();
}

TEST_F(Edits, CopyItemSharesTheIdAndFiles) {
    AddPictures(1, {"A", "B", "C"});
    EXPECT_TRUE(doc_.CopyItem(1, 2, 1, 2));
    EXPECT_EQ(Names(1), QStringLiteral("A B B C"));
    EXPECT_EQ(File().GetAttr(0, 2, "id"), File().GetAttr(0, 1, "id"));
    EXPECT_EQ(File().GetInt(0, 2, "length"), 74);
    doc_.RebuildPathTables();
    EXPECT_EQ(doc_.SourceImagePath(0, 2), doc_.SourceImagePath(0, 1));
    EXPECT_TRUE(doc_.CopyItem(1, 1, 1, 0));
    EXPECT_EQ(Names(1), QStringLiteral("A B B C A"));
    ExpectSaved();
}

TEST_F(Edits, GroupCopyMoveDeleteAndRename) {
    EXPECT_TRUE(doc_.RenameGroup(1, QStringLiteral("1")));
    for (const char* n : {"2", "3", "4"}) EXPECT_TRUE(doc_.NewGroup(QString::fromLatin1(n)));
    AddPictures(1, {"A"});
    doc_.MarkCompiled(doc_.Revision());
    EXPECT_TRUE(doc_.MoveGroup(1, 3));
    EXPECT_EQ(Groups(), QStringLiteral("2 3 1 4"));
    EXPECT_TRUE(doc_.NeedsCompile());
    EXPECT_TRUE(doc_.MoveGroup(4, 4));
    EXPECT_EQ(Groups(), QStringLiteral("2 3 1 4"));
    EXPECT_TRUE(doc_.CopyGroup(3, 4));  // copy of "1" (with its item) at the end
    EXPECT_EQ(Groups(), QStringLiteral("2 3 1 4 1"));
    EXPECT_EQ(Names(5), QStringLiteral("A"));
    EXPECT_TRUE(doc_.CopyGroup(1, 1));
    EXPECT_EQ(Groups(), QStringLiteral("2 2 3 1 4 1"));
    EXPECT_TRUE(doc_.DeleteGroup(2));
    EXPECT_EQ(Groups(), QStringLiteral("2 3 1 4 1"));
    ExpectSaved();
}

TEST_F(Edits, RenameAndDeleteOfItemsLeaveTheFlag) {
    AddPictures(1, {"A", "B"});
    const QString file = doc_.ImagesFolder() + File().GetAttr(0, 0, "id") + QStringLiteral(".bmp");
    doc_.MarkCompiled(doc_.Revision());
    EXPECT_TRUE(doc_.RenameItem(1, 2, QStringLiteral("乙")));
    EXPECT_EQ(Names(1), QStringLiteral("A 乙"));
    EXPECT_TRUE(doc_.DeleteItem(1, 1));
    EXPECT_EQ(Names(1), QStringLiteral("乙"));
    EXPECT_FALSE(doc_.NeedsCompile());
    EXPECT_FALSE(QFile::exists(file));  // no item uses it any more
    EXPECT_TRUE(doc_.DeleteGroup(1));
    EXPECT_TRUE(doc_.NeedsCompile());
    EXPECT_TRUE(QDir(doc_.ImagesFolder()).entryList(QDir::Files).isEmpty());
    ExpectSaved();
}

TEST_F(Edits, BadPositionsAreAccessErrorsAndChangeNothing) {
    AddPictures(1, {"A"});
    const QByteArray before = ReadAll(doc_.ProjectFilePath());
    const QStringList images = QDir(doc_.ImagesFolder()).entryList(QDir::Files);
    const EditResult refused[] = {
        doc_.DeleteItem(1, 2),
        doc_.MoveItem(1, 1, 3, 0),
        doc_.CopyGroup(2, 1),
        item_ops::SetThresholds(doc_, 0, 5, 1, 2, 3),
        item_ops::ApplyInterval(doc_, 3, 0, 5, 0),
    };
    for (const EditResult& result : refused) {
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.message.startsWith(QStringLiteral("项目文件有误：")));
    }
    // An add to a group that is not there is refused by the add's own check.
    EXPECT_EQ(doc_.NewPicture(0, QStringLiteral("x")).message, QStringLiteral("请先添加一个组!"));
    EXPECT_EQ(File().Serialize(), before);
    EXPECT_EQ(ReadAll(doc_.ProjectFilePath()), before);
    // Not even the new file of an edit that failed half-way is left behind.
    EXPECT_EQ(QDir(doc_.ImagesFolder()).entryList(QDir::Files), images);
}

TEST_F(Edits, AnEditWhoseSaveFailsLeavesItemIdFilesAndFlagAsTheyWere) {
    AddPictures(1, {"P"});
    ASSERT_TRUE(doc_.NewText(1, QStringLiteral("T")));
    ASSERT_TRUE(doc_.NewInterval(1, QStringLiteral("I")));
    ASSERT_TRUE(doc_.NewAnimation(1, QStringLiteral("A")));
    doc_.RebuildPathTables();
    doc_.RecountAnimations();
    doc_.MarkCompiled(doc_.Revision());
    QImage photo(80, 40, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    const QString source = dir_.File("photo.jpg");
    ASSERT_TRUE(EncodeImage(photo, source, QStringLiteral("image/jpeg")));
    // The images folder can be written, but the project file cannot be
    // replaced: every edit gets as far as its save.
    const QByteArray tree = File().Serialize();
    const QStringList images = QDir(doc_.ImagesFolder()).entryList(QDir::Files);
    const QString path = doc_.SourceImagePath(0, 0);
    ASSERT_TRUE(QFile::remove(doc_.ProjectFilePath()));
    ASSERT_TRUE(QDir().mkdir(doc_.ProjectFilePath()));

    item_ops::TextSettings text;
    text.text = QStringLiteral("ab");
    item_ops::ConversionSettings settings;
    settings.r = 9;
    settings.dither = true;
    const EditResult failed[] = {
        item_ops::SetPictureSource(doc_, 0, 0, source),
        item_ops::ConfirmText(doc_, 0, 1, text),
        item_ops::ApplyInterval(doc_, 0, 2, 7, 0xFF),
        item_ops::ReplacePicture(doc_, 0, 0, photo),
        item_ops::StoreSettings(doc_, 0, 0, settings),
        item_ops::SetDither(doc_, 0, 3, true),
        doc_.NewPicture(1, QStringLiteral("X")),
        doc_.NewAnimation(1, QStringLiteral("Y")),
        doc_.NewGroup(QStringLiteral("G")),
        doc_.MoveItem(1, 1, 1, 3),
    };
    for (const EditResult& result : failed) {
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.message.startsWith(QStringLiteral("项目文件保存失败")))
            << result.message.toStdString();
    }
    EXPECT_EQ(File().Serialize(), tree);
    EXPECT_EQ(QDir(doc_.ImagesFolder()).entryList(QDir::Files), images);
    EXPECT_EQ(doc_.SourceImagePath(0, 0), path);
    EXPECT_EQ(doc_.AnimationCount(0), 1);
    EXPECT_FALSE(doc_.NeedsCompile());
    EXPECT_TRUE(sink_.texts.isEmpty());  // the caller shows the result
}

TEST_F(Edits, DataSizeAccountAndAnimationCounts) {
    doc_.RecomputeTotalDataBytes();
    EXPECT_EQ(doc_.TotalDataBytes(), 0u);
    EXPECT_TRUE(doc_.NewInterval(1, QStringLiteral("i")));
    doc_.RecomputeTotalDataBytes();
    EXPECT_EQ(doc_.TotalDataBytes(), 21u);
    EXPECT_TRUE(doc_.NewAnimation(1, QStringLiteral("a")));
    doc_.RecomputeTotalDataBytes();
    EXPECT_EQ(doc_.TotalDataBytes(), 21u + 1554u);
    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("g")));
    EXPECT_TRUE(doc_.NewAnimation(2, QStringLiteral("a")));
    EXPECT_TRUE(doc_.NewAnimation(2, QStringLiteral("b")));
    doc_.RecountAnimations();
    EXPECT_EQ(doc_.AnimationCount(0), 1);
    EXPECT_EQ(doc_.AnimationCount(1), 2);
    EXPECT_EQ(doc_.AnimationCount(2), 0);
}

TEST_F(Edits, PathTableFollowsIdsAndSkipsUnknownElements) {
    AddPictures(1, {"A"});
    EXPECT_TRUE(doc_.NewInterval(1, QStringLiteral("I")));
    doc_.RebuildPathTables();
    EXPECT_EQ(doc_.SourceImagePath(0, 0),
              doc_.ImagesFolder() + File().GetAttr(0, 0, "id") + QStringLiteral(".bmp"));
    EXPECT_EQ(doc_.SourceImagePath(0, 1),
              doc_.ImagesFolder() + File().GetAttr(0, 1, "id") + QStringLiteral(".jpg"));
    EXPECT_TRUE(doc_.SourceImagePath(0, 2).isEmpty());
    // Positions after an unknown element keep their place in the table.
    TempDir other;
    const QString path = other.Write(
        "q/Index.prj",
        "<project><group name='g'><odd/><nullpic name='n' id='ID'><length>2</length></nullpic>"
        "</group></project>");
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    ASSERT_TRUE(doc.OpenProjectFolder(other.File("q")));
    doc.RebuildPathTables();
    EXPECT_TRUE(doc.SourceImagePath(0, 0).isEmpty());
    EXPECT_EQ(doc.SourceImagePath(0, 1), doc.ImagesFolder() + QStringLiteral("ID.jpg"));
    doc.RecomputeTotalDataBytes();
    EXPECT_EQ(doc.TotalDataBytes(), 42u);
}

TEST_F(Edits, IdLeavingTheImagesFolderIsADamagedProjectThatNoEditTouches) {
    AddPictures(1, {"A", "B"});
    EXPECT_TRUE(doc_.NewText(1, QStringLiteral("T")));
    EXPECT_TRUE(doc_.NewInterval(1, QStringLiteral("I")));
    doc_.RebuildPathTables();
    ASSERT_FALSE(doc_.SourceImagePath(0, 0).isEmpty());
    File().SetAttr(0, 1, "id", QStringLiteral("../../outside/secret"));
    ASSERT_TRUE(doc_.SaveProject());
    const QByteArray before = ReadAll(doc_.ProjectFilePath());
    const QStringList images = QDir(doc_.ImagesFolder()).entryList(QDir::Files);
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString picture = dir_.File("red.jpg");
    ASSERT_TRUE(EncodeImage(red, picture, QStringLiteral("image/jpeg")));
    item_ops::TextSettings text;
    text.text = QStringLiteral("ab");

    const EditResult refused[] = {
        item_ops::SetPictureSource(doc_, 0, 0, picture),
        item_ops::ConfirmText(doc_, 0, 2, text),
        item_ops::ApplyInterval(doc_, 0, 3, 5, 0xFF),
        item_ops::SetThresholds(doc_, 0, 0, 1, 2, 3),
        item_ops::ReplacePicture(doc_, 0, 0, red),
        doc_.CopyItem(1, 2, 1, 0),
        doc_.DeleteItem(1, 2),
        doc_.CopyGroup(1, 1),
        doc_.DeleteGroup(1),
    };
    for (const EditResult& result : refused) {
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.message.startsWith(QStringLiteral("项目文件有误：")))
            << result.message.toStdString();
    }
    EXPECT_THROW(doc_.RebuildPathTables(), AccessError);

    EXPECT_EQ(File().Serialize(), before);
    EXPECT_EQ(ReadAll(doc_.ProjectFilePath()), before);
    EXPECT_EQ(QDir(doc_.ImagesFolder()).entryList(QDir::Files), images);
    EXPECT_TRUE(doc_.SourceImagePath(0, 0).isEmpty());  // no stale paths are left to read
}

TEST_F(Edits, DitherElementIsWrittenOnlyWhenOnAndReadBack) {
    AddPictures(1, {"P"});
    ASSERT_TRUE(doc_.NewAnimation(1, QStringLiteral("A")));
    ASSERT_TRUE(doc_.NewText(1, QStringLiteral("T")));
    doc_.MarkCompiled(doc_.Revision());
    const QByteArray plain = ReadAll(doc_.ProjectFilePath());
    EXPECT_FALSE(plain.contains("dither"));
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 0, true));
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 1, true));
    EXPECT_TRUE(doc_.NeedsCompile());
    ExpectSaved();
    // The last property of each item, text 1.
    EXPECT_TRUE(ReadAll(doc_.ProjectFilePath())
                    .contains("<length>74</length><dither>1</dither></picture>"));
    EXPECT_TRUE(ReadAll(doc_.ProjectFilePath()).contains("</interval><dither>1</dither></gif>"));
    CProjectFile reread(doc_.ProjectFilePath());
    EXPECT_TRUE(item_ops::Dithers(reread, 0, 0));
    EXPECT_TRUE(item_ops::Dithers(reread, 0, 1));
    EXPECT_FALSE(item_ops::Dithers(reread, 0, 2));
    // Off removes it again: the file is the one that never dithered.
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 0, false));
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 1, false));
    EXPECT_EQ(ReadAll(doc_.ProjectFilePath()), plain);
}

TEST_F(Edits, DitherOnOtherKindsIsRefusedAndUnknownValuesReadOff) {
    AddPictures(1, {"P"});
    ASSERT_TRUE(doc_.NewText(1, QStringLiteral("T")));
    ASSERT_TRUE(doc_.NewInterval(1, QStringLiteral("I")));
    const QByteArray before = ReadAll(doc_.ProjectFilePath());
    const EditResult onText = item_ops::SetDither(doc_, 0, 1, true);
    EXPECT_FALSE(onText.ok);
    EXPECT_FALSE(onText.message.isEmpty());
    EXPECT_FALSE(item_ops::SetDither(doc_, 0, 2, true));
    item_ops::StoreDither(File(), 0, 1, true);
    EXPECT_FALSE(File().HasProperty(0, 1, "dither"));
    EXPECT_EQ(ReadAll(doc_.ProjectFilePath()), before);
    for (const char* value : {"yes", "2", "0", "", "on"}) {
        File().SetOptionalText(0, 0, "dither", QString::fromLatin1(value));
        EXPECT_FALSE(item_ops::Dithers(File(), 0, 0)) << value;
        // Storing "off" leaves a value it does not know alone.
        item_ops::StoreDither(File(), 0, 0, false);
        EXPECT_EQ(File().GetText(0, 0, "dither"), QString::fromLatin1(value));
    }
    File().SetOptionalText(0, 0, "dither", QStringLiteral(" 1\n"));
    EXPECT_TRUE(item_ops::Dithers(File(), 0, 0));
}
