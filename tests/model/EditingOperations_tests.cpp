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
        doc_.needsCompile = false;
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
    void ExpectSaved() { EXPECT_EQ(ReadAll(doc_.projectFilePath), File().Serialize()); }

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
            doc_.imagesFolder + File().GetAttr(0, i, "id") + QStringLiteral(".bmp");
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray("jpeg")) << path.toStdString();
        EXPECT_EQ(reader.size(), QSize(400, 300));
    }
    EXPECT_TRUE(doc_.needsCompile);
}

TEST_F(Edits, EachKindGetsItsPlaceholderEncoding) {
    ASSERT_TRUE(doc_.NewAnimation(1, QStringLiteral("动")));
    ASSERT_TRUE(doc_.NewText(1, QStringLiteral("文")));
    ASSERT_TRUE(doc_.NewInterval(1, QStringLiteral("隔")));
    const QString dir = doc_.imagesFolder;
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
    doc_.MoveItem(1, 1, 1, 3);
    EXPECT_EQ(Names(1), QStringLiteral("B C A"));
    doc_.MoveItem(1, 3, 1, 0);  // already last
    EXPECT_EQ(Names(1), QStringLiteral("B C A"));
    doc_.MoveItem(1, 2, 1, 2);  // right after itself
    EXPECT_EQ(Names(1), QStringLiteral("B C A"));
    doc_.MoveItem(1, 3, 1, 1);
    EXPECT_EQ(Names(1), QStringLiteral("B A C"));

    doc_.NewGroup(QStringLiteral("g2"));
    AddPictures(2, {"X"});
    doc_.needsCompile = false;
    doc_.MoveItem(1, 1, 2, 0);
    EXPECT_EQ(Names(1), QStringLiteral("A C"));
    EXPECT_EQ(Names(2), QStringLiteral("X B"));
    EXPECT_FALSE(doc_.needsCompile);  // moving an item leaves the flag alone
    ExpectSaved();
}

TEST_F(Edits, CopyItemSharesTheIdAndFiles) {
    AddPictures(1, {"A", "B", "C"});
    doc_.CopyItem(1, 2, 1, 2);
    EXPECT_EQ(Names(1), QStringLiteral("A B B C"));
    EXPECT_EQ(File().GetAttr(0, 2, "id"), File().GetAttr(0, 1, "id"));
    EXPECT_EQ(File().GetInt(0, 2, "length"), 74);
    doc_.RebuildPathTables();
    EXPECT_EQ(doc_.SourceImagePath(0, 2), doc_.SourceImagePath(0, 1));
    doc_.CopyItem(1, 1, 1, 0);
    EXPECT_EQ(Names(1), QStringLiteral("A B B C A"));
    ExpectSaved();
}

TEST_F(Edits, GroupCopyMoveDeleteAndRename) {
    doc_.RenameGroup(1, QStringLiteral("1"));
    for (const char* n : {"2", "3", "4"}) doc_.NewGroup(QString::fromLatin1(n));
    AddPictures(1, {"A"});
    doc_.needsCompile = false;
    doc_.MoveGroup(1, 3);
    EXPECT_EQ(Groups(), QStringLiteral("2 3 1 4"));
    EXPECT_TRUE(doc_.needsCompile);
    doc_.MoveGroup(4, 4);
    EXPECT_EQ(Groups(), QStringLiteral("2 3 1 4"));
    doc_.CopyGroup(3, 4);  // copy of "1" (with its item) at the end
    EXPECT_EQ(Groups(), QStringLiteral("2 3 1 4 1"));
    EXPECT_EQ(Names(5), QStringLiteral("A"));
    doc_.CopyGroup(1, 1);
    EXPECT_EQ(Groups(), QStringLiteral("2 2 3 1 4 1"));
    doc_.DeleteGroup(2);
    EXPECT_EQ(Groups(), QStringLiteral("2 3 1 4 1"));
    ExpectSaved();
}

TEST_F(Edits, RenameAndDeleteLeaveTheFlagAndTheFiles) {
    AddPictures(1, {"A", "B"});
    const QString file = doc_.imagesFolder + File().GetAttr(0, 0, "id") + QStringLiteral(".bmp");
    doc_.needsCompile = false;
    doc_.RenameItem(1, 2, QStringLiteral("乙"));
    EXPECT_EQ(Names(1), QStringLiteral("A 乙"));
    doc_.DeleteItem(1, 1);
    EXPECT_EQ(Names(1), QStringLiteral("乙"));
    EXPECT_FALSE(doc_.needsCompile);
    EXPECT_TRUE(QFile::exists(file));  // image files are never deleted
    doc_.DeleteGroup(1);
    EXPECT_TRUE(doc_.needsCompile);
    EXPECT_EQ(QDir(doc_.imagesFolder).entryList(QDir::Files).size(), 2);
    ExpectSaved();
}

TEST_F(Edits, BadPositionsAreAccessErrorsAndChangeNothing) {
    AddPictures(1, {"A"});
    const QByteArray before = ReadAll(doc_.projectFilePath);
    EXPECT_THROW(doc_.DeleteItem(1, 2), AccessError);
    EXPECT_THROW(doc_.MoveItem(1, 1, 3, 0), AccessError);
    EXPECT_THROW(doc_.CopyGroup(2, 1), AccessError);
    EXPECT_THROW(doc_.NewPicture(0, QStringLiteral("x")), AccessError);
    EXPECT_EQ(ReadAll(doc_.projectFilePath), before);
}

TEST_F(Edits, DataSizeAccountAndAnimationCounts) {
    doc_.RecomputeTotalDataBytes();
    EXPECT_EQ(doc_.totalDataBytes, 0u);
    doc_.NewInterval(1, QStringLiteral("i"));
    doc_.RecomputeTotalDataBytes();
    EXPECT_EQ(doc_.totalDataBytes, 21u);
    doc_.NewAnimation(1, QStringLiteral("a"));
    doc_.RecomputeTotalDataBytes();
    EXPECT_EQ(doc_.totalDataBytes, 21u + 1554u);
    doc_.NewGroup(QStringLiteral("g"));
    doc_.NewAnimation(2, QStringLiteral("a"));
    doc_.NewAnimation(2, QStringLiteral("b"));
    doc_.RecountAnimations();
    EXPECT_EQ(doc_.animationCount[0], 1);
    EXPECT_EQ(doc_.animationCount[1], 2);
    EXPECT_EQ(doc_.animationCount[2], 0);
}

TEST_F(Edits, PathTableFollowsIdsAndSkipsUnknownElements) {
    AddPictures(1, {"A"});
    doc_.NewInterval(1, QStringLiteral("I"));
    doc_.RebuildPathTables();
    EXPECT_EQ(doc_.SourceImagePath(0, 0),
              doc_.imagesFolder + File().GetAttr(0, 0, "id") + QStringLiteral(".bmp"));
    EXPECT_EQ(doc_.SourceImagePath(0, 1),
              doc_.imagesFolder + File().GetAttr(0, 1, "id") + QStringLiteral(".jpg"));
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
    EXPECT_EQ(doc.SourceImagePath(0, 1), doc.imagesFolder + QStringLiteral("ID.jpg"));
    doc.RecomputeTotalDataBytes();
    EXPECT_EQ(doc.totalDataBytes, 42u);
}

TEST_F(Edits, IdLeavingTheImagesFolderIsADamagedProjectThatNoEditTouches) {
    AddPictures(1, {"A", "B"});
    doc_.NewText(1, QStringLiteral("T"));
    doc_.NewInterval(1, QStringLiteral("I"));
    doc_.RebuildPathTables();
    ASSERT_FALSE(doc_.SourceImagePath(0, 0).isEmpty());
    File().SetAttr(0, 1, "id", QStringLiteral("../../outside/secret"));
    ASSERT_TRUE(doc_.SaveProject());
    const QByteArray before = ReadAll(doc_.projectFilePath);
    const QStringList images = QDir(doc_.imagesFolder).entryList(QDir::Files);
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString picture = dir_.File("red.jpg");
    ASSERT_TRUE(EncodeImage(red, picture, QStringLiteral("image/jpeg")));
    QString error;
    item_ops::TextSettings text;
    text.text = QStringLiteral("ab");

    EXPECT_THROW(item_ops::SetPictureSource(doc_, 0, 0, picture, &error), AccessError);
    EXPECT_THROW(item_ops::ConfirmText(doc_, 0, 2, text, &sink_), AccessError);
    EXPECT_THROW(item_ops::ApplyInterval(doc_, 0, 3, 5, 0xFF), AccessError);
    EXPECT_THROW(item_ops::SetThresholds(doc_, 0, 0, 1, 2, 3), AccessError);
    EXPECT_THROW(doc_.CopyItem(1, 2, 1, 0), AccessError);
    EXPECT_THROW(doc_.DeleteItem(1, 2), AccessError);
    EXPECT_THROW(doc_.CopyGroup(1, 1), AccessError);
    EXPECT_THROW(doc_.DeleteGroup(1), AccessError);
    EXPECT_THROW(doc_.RebuildPathTables(), AccessError);

    EXPECT_EQ(File().Serialize(), before);
    EXPECT_EQ(ReadAll(doc_.projectFilePath), before);
    EXPECT_EQ(QDir(doc_.imagesFolder).entryList(QDir::Files), images);
    EXPECT_TRUE(doc_.SourceImagePath(0, 0).isEmpty());  // no stale paths are left to read
}

TEST_F(Edits, DitherElementIsWrittenOnlyWhenOnAndReadBack) {
    AddPictures(1, {"P"});
    ASSERT_TRUE(doc_.NewAnimation(1, QStringLiteral("A")));
    ASSERT_TRUE(doc_.NewText(1, QStringLiteral("T")));
    doc_.needsCompile = false;
    const QByteArray plain = ReadAll(doc_.projectFilePath);
    EXPECT_FALSE(plain.contains("dither"));
    QString error;
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 0, true, &error));
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 1, true, &error));
    EXPECT_TRUE(doc_.needsCompile);
    ExpectSaved();
    // The last property of each item, text 1.
    EXPECT_TRUE(
        ReadAll(doc_.projectFilePath).contains("<length>74</length><dither>1</dither></picture>"));
    EXPECT_TRUE(ReadAll(doc_.projectFilePath).contains("</interval><dither>1</dither></gif>"));
    CProjectFile reread(doc_.projectFilePath);
    EXPECT_TRUE(item_ops::Dithers(reread, 0, 0));
    EXPECT_TRUE(item_ops::Dithers(reread, 0, 1));
    EXPECT_FALSE(item_ops::Dithers(reread, 0, 2));
    // Off removes it again: the file is the one that never dithered.
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 0, false, &error));
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 1, false, &error));
    EXPECT_EQ(ReadAll(doc_.projectFilePath), plain);
}

TEST_F(Edits, DitherOnOtherKindsIsRefusedAndUnknownValuesReadOff) {
    AddPictures(1, {"P"});
    ASSERT_TRUE(doc_.NewText(1, QStringLiteral("T")));
    ASSERT_TRUE(doc_.NewInterval(1, QStringLiteral("I")));
    const QByteArray before = ReadAll(doc_.projectFilePath);
    QString error;
    EXPECT_FALSE(item_ops::SetDither(doc_, 0, 1, true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(item_ops::SetDither(doc_, 0, 2, true, &error));
    item_ops::StoreDither(File(), 0, 1, true);
    EXPECT_FALSE(File().HasProperty(0, 1, "dither"));
    EXPECT_EQ(ReadAll(doc_.projectFilePath), before);
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
