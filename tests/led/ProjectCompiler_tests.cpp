// SPDX-License-Identifier: GPL-3.0-or-later
// Whole projects compiled into data.bin, byte for byte.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "compile/ColumnCache.h"
#include "compile/ProjectCompiler.h"
#include "led/GifWriter.h"
#include "led/ImageCodec.h"
#include "led/PictureConverter.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

// The expected bytes of a golden file. With GLOWDECK_UPDATE_GOLDEN=1 the
// actual bytes are written there first (review the diff before committing).
QByteArray Golden(const QString& name, const QByteArray& actual) {
    const QString path = QStringLiteral(GLOWDECK_TEST_DATA "/") + name;
    if (qEnvironmentVariableIntValue("GLOWDECK_UPDATE_GOLDEN") == 1) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(actual);
    }
    return ReadAll(path);
}

// A pattern 56 rows high, so no resampling is involved.
QImage Pattern(int width, int seed) {
    QImage image(width, 56, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < 56; ++y) {
            const int v = (x * 7 + y * 3 + seed) % 8;
            image.setPixel(x, y, qRgb(v & 1 ? 255 : 0, v & 2 ? 200 : 20, v & 4 ? 140 : 100));
        }
    return image;
}

class Compile : public ::testing::Test {
protected:
    Compile() : doc_(sink_) {
        doc_.SetProjectRoot(dir_.Path());
        EXPECT_TRUE(doc_.CreateProjectNamed(QStringLiteral("p")));
    }
    CProjectFile& File() { return *doc_.ProjectFile(); }
    QString Source(int g, int i, const char* ext) {
        return doc_.ImagesFolder() + File().GetAttr(g, i, "id") + QLatin1String(ext);
    }
    void AddPicture(int g, const QImage& image) {
        EXPECT_TRUE(doc_.NewPicture(g, QStringLiteral("图")));
        const int i = File().ItemCount(g - 1) - 1;
        ASSERT_TRUE(EncodeImage(image, Source(g - 1, i, ".bmp"), QStringLiteral("image/bmp")));
        File().SetInt(g - 1, i, "length", LedWidthFor(image.size()));
        File().SetInt(g - 1, i, "width", image.width());
        File().SetInt(g - 1, i, "height", image.height());
    }
    void AddAnimation(int g, const std::vector<QImage>& frames, const std::vector<int>& intervals,
                      int loop) {
        EXPECT_TRUE(doc_.NewAnimation(g, QStringLiteral("动")));
        const int i = File().ItemCount(g - 1) - 1;
        QByteArray bytes;
        ASSERT_TRUE(EncodeGif(frames, intervals, 0, &bytes));
        QFile gif(Source(g - 1, i, ".gif"));
        ASSERT_TRUE(gif.open(QIODevice::WriteOnly | QIODevice::Truncate));
        gif.write(bytes);
        gif.close();
        const int w = frames[0].width();
        File().SetInt(g - 1, i, "flength", w);
        File().SetInt(g - 1, i, "framecount", static_cast<int>(frames.size()));
        File().SetInt(g - 1, i, "length", w * static_cast<int>(frames.size()));
        File().SetIntList(g - 1, i, "interval", intervals);
        File().SetInt(g - 1, i, "loop", loop);
    }
    // The mixed project of the golden files: picture, interval and animation
    // in group 1; a text strip and a picture with other thresholds in group 2.
    void BuildMixed() {
        AddPicture(1, Pattern(8, 0));
        EXPECT_TRUE(doc_.NewInterval(1, QStringLiteral("隔")));
        AddAnimation(1, {Pattern(4, 1), Pattern(4, 2), Pattern(4, 3)}, {10, 20, 0}, 2);
        EXPECT_TRUE(doc_.NewGroup(QStringLiteral("二")));
        EXPECT_TRUE(doc_.NewText(2, QStringLiteral("文")));
        ASSERT_TRUE(EncodeImage(Pattern(6, 5), Source(1, 0, ".bmp"), QStringLiteral("image/bmp")));
        File().SetInt(1, 0, "length", 6);
        AddPicture(2, Pattern(5, 9));
        File().SetInt(1, 1, "r", 10);
        File().SetInt(1, 1, "g", 250);
        File().SetInt(1, 1, "b", 90);
        EXPECT_TRUE(doc_.SaveProject());
    }
    bool Run(const BallConfig& ball) {
        CProjectCompiler compiler(doc_, sink_);
        return compiler.Compile(ball);
    }
    // A single-layer compile that keeps its columns in `cache`; data.bin's bytes.
    QByteArray CompileWithCache(const TempDir& cache, CompileSummary* summary) {
        CProjectCompiler compiler(doc_, sink_);
        compiler.SetCacheFolder(cache.Path());
        EXPECT_TRUE(compiler.Compile({1, 0}, {}, summary));
        return ReadAll(doc_.DataFilePath());
    }

    TempDir dir_;
    RecordingSink sink_;
    CGlowdeckDoc doc_;
};

}  // namespace

TEST_F(Compile, EmptyProjectIs22Bytes) {
    EXPECT_TRUE(doc_.DeleteGroup(1));
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray data = ReadAll(doc_.DataFilePath());
    EXPECT_EQ(data, Golden(QStringLiteral("empty.data.bin"), data));
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), QByteArray::fromHex("AA00") + QByteArray(20, '\0'));
    EXPECT_FALSE(doc_.NeedsCompile());
}

TEST_F(Compile, OnePictureOfTenColumns) {
    AddPicture(1, Pattern(10, 0));
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray data = ReadAll(doc_.DataFilePath());
    ASSERT_EQ(data.size(), 238);
    EXPECT_EQ(data.left(28), QByteArray::fromHex("AA011600") + QByteArray(18, '\0') +
                                 QByteArray::fromHex("1C00000A0000"));
    EXPECT_EQ(data, Golden(QStringLiteral("one_picture.data.bin"), data));
}

TEST_F(Compile, MixedProjectForEveryBall) {
    BuildMixed();
    const struct {
        BallConfig ball;
        const char* golden;
    } cases[] = {{{1, 0}, "mixed_single.data.bin"},
                 {{2, 0}, "mixed_outer.data.bin"},
                 {{2, 1}, "mixed_inner.data.bin"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Run(c.ball)) << c.golden;
        const QByteArray data = ReadAll(doc_.DataFilePath());
        EXPECT_EQ(data, Golden(QString::fromLatin1(c.golden), data)) << c.golden;
    }
    // Index: 22 + 2 × 6 + 7 + 3 × 4 = 53 bytes; columns 8 + 1 + 12 + 6 + 5 = 32.
    EXPECT_EQ(ReadAll(doc_.DataFilePath()).size(), 53 + 32 * 14);
    EXPECT_TRUE(sink_.texts.isEmpty()) << sink_.texts.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Compile, MissingImageKeepsThePreviousDataFile) {
    AddPicture(1, Pattern(10, 0));
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray before = ReadAll(doc_.DataFilePath());
    EXPECT_TRUE(doc_.NewPicture(1, QStringLiteral("丢")));
    QFile::remove(Source(0, 1, ".bmp"));
    EXPECT_TRUE(doc_.NeedsCompile());
    EXPECT_FALSE(Run({1, 0}));
    EXPECT_EQ(sink_.texts, QStringList{QStringLiteral("Lose Group1 item2 image file!")});
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), before);
    EXPECT_TRUE(doc_.NeedsCompile());
    EXPECT_EQ(QDir(doc_.ProjectFolder()).entryList(QDir::Files).size(), 2);  // Index.prj, data.bin
}

TEST_F(Compile, SourceThatCannotBeDecodedIsNotCalledMissing) {
    AddPicture(1, Pattern(10, 0));
    AddAnimation(1, {Pattern(4, 1), Pattern(4, 2)}, {10, 20}, 0);
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray before = ReadAll(doc_.DataFilePath());
    // The picture's file is there but holds no picture.
    QFile picture(Source(0, 0, ".bmp"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly | QIODevice::Truncate));
    picture.write("BM not really a bitmap");
    picture.close();
    EXPECT_FALSE(Run({1, 0}));
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_TRUE(
        sink_.texts[0].startsWith(QStringLiteral("Cannot decode Group1 item1 image file: ")))
        << sink_.texts[0].toStdString();
    EXPECT_GT(sink_.texts[0].size(),
              QStringLiteral("Cannot decode Group1 item1 image file: ").size());
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), before);

    // A GIF whose header is whole but whose frame data is cut off.
    ASSERT_TRUE(EncodeImage(Pattern(10, 0), Source(0, 0, ".bmp"), QStringLiteral("image/bmp")));
    const QByteArray gif = ReadAll(Source(0, 1, ".gif"));
    QFile animation(Source(0, 1, ".gif"));
    ASSERT_TRUE(animation.open(QIODevice::WriteOnly | QIODevice::Truncate));
    animation.write(gif.left(gif.indexOf(',') + 10));  // the first image descriptor, no raster
    animation.close();
    sink_.texts.clear();
    EXPECT_FALSE(Run({1, 0}));
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_TRUE(
        sink_.texts[0].startsWith(QStringLiteral("Cannot decode Group1 item2 image file: ")))
        << sink_.texts[0].toStdString();
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), before);
}

// The message keeps its text and says which file and why.
TEST_F(Compile, IndexFileThatCannotBeCreated) {
    const QString target = dir_.File("no/such/folder/data.bin");
    doc_.SetDataFilePath(target);
    EXPECT_FALSE(Run({1, 0}));
    EXPECT_EQ(sink_.texts,
              QStringList{QStringLiteral("索引文件未打开：%1（%2）")
                              .arg(target, QString::fromLocal8Bit(std::strerror(ENOENT)))});
    EXPECT_TRUE(doc_.NeedsCompile());
}

TEST_F(Compile, DamagedItemIsReportedNotCrashed) {
    AddPicture(1, Pattern(10, 0));
    File().SetInt(0, 0, "length", 10);
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray before = ReadAll(doc_.DataFilePath());
    TempDir other;
    const QString folder = other.File("hand");
    other.Write("hand/Index.prj",
                "<project><group name='g'><picture name='p' id='x'><r>1</r></picture>"
                "</group></project>");
    ASSERT_TRUE(doc_.OpenProjectFolder(folder));
    EXPECT_FALSE(Run({1, 0}));
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/data.bin")));
}

TEST_F(Compile, IdNamingAPictureOutsideTheProjectIsRefused) {
    AddPicture(1, Pattern(10, 0));
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray before = ReadAll(doc_.DataFilePath());
    // A readable picture where the id leads from the Images folder.
    ASSERT_TRUE(QDir().mkpath(dir_.File("outside")));
    ASSERT_TRUE(
        EncodeImage(Pattern(10, 4), dir_.File("outside/secret.bmp"), QStringLiteral("image/bmp")));
    File().SetAttr(0, 0, "id", QStringLiteral("../../outside/secret"));
    EXPECT_FALSE(Run({1, 0}));
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_TRUE(sink_.texts[0].startsWith(QStringLiteral("项目文件有误：")))
        << sink_.texts[0].toStdString();
    EXPECT_TRUE(sink_.texts[0].contains(QStringLiteral("../../outside/secret")));
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), before);
    EXPECT_EQ(QDir(doc_.ProjectFolder()).entryList(QDir::Files).size(), 2);  // Index.prj, data.bin
}

TEST_F(Compile, AttributesTheIndexCannotHoldAreRefusedBeforeWriting) {
    AddPicture(1, Pattern(10, 0));
    AddAnimation(1, {Pattern(4, 1), Pattern(4, 2)}, {10, 20}, 2);
    EXPECT_TRUE(doc_.NewInterval(1, QStringLiteral("隔")));
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray before = ReadAll(doc_.DataFilePath());
    const struct {
        int item;
        const char* name;
        const char* value;
        const char* named;  // how the message names the attribute
    } cases[] = {
        {0, "length", "2147483648", "第1组第1项的“length”"},  // 2^31
        {0, "length", "-5", "第1组第1项的“length”"},
        {0, "length", "65536", "第1组第1项的“length”"},  // would wrap to 0
        {2, "length", "1000000", "第1组第3项的“length”"},
        {1, "flength", "-60", "第1组第2项的“flength”"},
        {1, "framecount", "-1", "第1组第2项的“framecount”"},
        {1, "framecount", "51", "第1组第2项的“framecount”"},
        {1, "loop", "256", "第1组第2项的“loop”"},
        {1, "loop", "-1", "第1组第2项的“loop”"},
        {1, "speed", "70000", "第1组第2项的“speed”"},
        {1, "interval", "10,-5", "第1组第2项的“interval”第2个值"},
    };
    for (const auto& c : cases) {
        const QString kept = File().GetText(0, c.item, c.name);
        File().SetText(0, c.item, c.name, QString::fromLatin1(c.value));
        sink_.texts.clear();
        EXPECT_FALSE(Run({1, 0})) << c.name << '=' << c.value;
        ASSERT_EQ(sink_.texts.size(), 1) << c.name << '=' << c.value;
        EXPECT_TRUE(sink_.texts[0].startsWith(QString::fromUtf8(c.named)))
            << sink_.texts[0].toStdString();
        EXPECT_EQ(ReadAll(doc_.DataFilePath()), before) << c.name << '=' << c.value;
        File().SetText(0, c.item, c.name, kept);
    }
    // The largest values the index holds still compile.
    File().SetInt(0, 1, "loop", 255);
    File().SetInt(0, 1, "speed", -500);
    sink_.texts.clear();
    EXPECT_TRUE(Run({1, 0})) << sink_.texts.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Compile, ShowLargerThanTheBallsMemoryIsRefused) {
    AddPicture(1, Pattern(10, 0));
    // 28 bytes of index and 23808 columns of 21 bytes: 499996 bytes fit.
    File().SetInt(0, 0, "length", 23808);
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray before = ReadAll(doc_.DataFilePath());
    EXPECT_EQ(before.size(), 499996);
    File().SetInt(0, 0, "length", 23809);
    EXPECT_FALSE(Run({1, 0}));
    ASSERT_EQ(sink_.texts.size(), 1);
    EXPECT_TRUE(sink_.texts[0].contains(QStringLiteral("500017"))) << sink_.texts[0].toStdString();
    EXPECT_TRUE(sink_.texts[0].contains(QStringLiteral("500000")));
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), before);
    // Only 14 bytes a column go to the inner layer: the same show fits there.
    EXPECT_TRUE(Run({2, 1}));
}

TEST_F(Compile, UntouchedAnimationMatchesItsIndex) {
    // A new animation holds "flength" 1 and "framecount" 1 beside a 74-column
    // placeholder: the data must still be exactly what the index promises.
    EXPECT_TRUE(doc_.NewAnimation(1, QStringLiteral("新")));
    EXPECT_TRUE(doc_.NewPicture(1, QStringLiteral("新")));
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray data = ReadAll(doc_.DataFilePath());
    const int indexLength = 22 + 6 + 7 + 4;
    EXPECT_EQ(data.size(), indexLength + (1 + 74) * 21);
    // The picture's data offset in the group block points at its columns.
    EXPECT_EQ(static_cast<unsigned char>(data[22]), indexLength);
}

TEST_F(Compile, ProgressMovesItemByItem) {
    AddPicture(1, Pattern(3, 0));
    EXPECT_TRUE(doc_.NewInterval(1, QStringLiteral("隔")));
    File().AppendItem(0, ItemKind::Picture, QStringLiteral("x"), QStringLiteral("y"));
    doc_.ProjectFile()->RemoveItem(0, 2);
    EXPECT_TRUE(doc_.NewGroup(QStringLiteral("g")));
    EXPECT_TRUE(doc_.NewInterval(2, QStringLiteral("隔")));
    std::vector<std::pair<int, int>> steps;
    CProjectCompiler compiler(doc_, sink_);
    ASSERT_TRUE(compiler.Compile({1, 0}, [&](int v, int m) { steps.emplace_back(v, m); }));
    EXPECT_EQ(steps,
              (std::vector<std::pair<int, int>>{{0, 300}, {100, 300}, {200, 300}, {300, 300}}));
}

TEST_F(Compile, PreviewFilesWhenAsked) {
    AddPicture(1, Pattern(3, 0));
    AddAnimation(1, {Pattern(2, 0), Pattern(2, 1)}, {1, 1}, 1);
    CProjectCompiler compiler(doc_, sink_);
    compiler.SetPreviewFolder(dir_.Path());
    ASSERT_TRUE(compiler.Compile({1, 0}));
    EXPECT_TRUE(ReadAll(dir_.File("led.bmp")).startsWith("\xFF\xD8"));
    EXPECT_TRUE(ReadAll(dir_.File("led.jpg")).startsWith("\xFF\xD8"));
}

TEST_F(Compile, ItemsConvertedInParallelAreAppendedInProjectOrder) {
    BuildMixed();
    for (int k = 0; k < 12; ++k) AddPicture(2, Pattern(5 + k, k));
    CProjectCompiler serial(doc_, sink_);
    serial.SetThreadCount(1);
    ASSERT_TRUE(serial.Compile({1, 0}));
    const QByteArray one = ReadAll(doc_.DataFilePath());
    CProjectCompiler parallel(doc_, sink_);
    parallel.SetThreadCount(4);
    ASSERT_TRUE(parallel.Compile({1, 0}));
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), one);

    // The first missing source in project order is the one reported.
    QFile::remove(Source(1, 9, ".bmp"));
    QFile::remove(Source(1, 4, ".bmp"));
    EXPECT_FALSE(parallel.Compile({1, 0}));
    EXPECT_EQ(sink_.texts, QStringList{QStringLiteral("Lose Group2 item5 image file!")});
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), one);
}

TEST_F(Compile, CancelKeepsTheOldFileAndSaysNothing) {
    AddPicture(1, Pattern(10, 0));
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray before = ReadAll(doc_.DataFilePath());
    AddPicture(1, Pattern(12, 1));
    std::atomic<bool> cancel{false};
    CProjectCompiler compiler(doc_, sink_);
    compiler.SetCancelFlag(&cancel);
    // Cancelled while the first item is reported: nothing is replaced.
    EXPECT_FALSE(compiler.Compile({1, 0}, [&](int value, int) {
        if (value > 0) cancel = true;
    }));
    EXPECT_TRUE(compiler.WasCancelled());
    EXPECT_TRUE(sink_.texts.isEmpty());
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), before);
    EXPECT_TRUE(doc_.NeedsCompile());
    EXPECT_EQ(QDir(doc_.ProjectFolder()).entryList(QDir::Files).size(), 2);  // Index.prj, data.bin
}

TEST_F(Compile, UnchangedItemsComeFromTheCacheByteForByte) {
    BuildMixed();
    TempDir cache;
    auto compile = [&](CompileSummary* summary) { return CompileWithCache(cache, summary); };
    CompileSummary first, second, third;
    const QByteArray full = compile(&first);
    EXPECT_EQ(first.reused, 0);
    EXPECT_EQ(compile(&second), full);
    EXPECT_EQ(second.converted, 0);
    EXPECT_EQ(second.reused, first.converted);
    // Another threshold, another ball: converted again, the rest reused.
    File().SetInt(0, 0, "r", 10);
    const QByteArray changed = compile(&third);
    EXPECT_EQ(third.converted, 1);
    CProjectCompiler plain(doc_, sink_);
    ASSERT_TRUE(plain.Compile({1, 0}));
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), changed);
    CProjectCompiler inner(doc_, sink_);
    inner.SetCacheFolder(cache.Path());
    CompileSummary innerSummary;
    ASSERT_TRUE(inner.Compile({2, 1}, {}, &innerSummary));
    EXPECT_EQ(innerSummary.reused, 0);
}

TEST_F(Compile, DamagedCacheEntryOfTheRightSizeIsConvertedAgainAndRewritten) {
    BuildMixed();
    ASSERT_TRUE(Run({1, 0}));  // without a cache
    const QByteArray plain = ReadAll(doc_.DataFilePath());
    // One byte changed, the size kept: at the start, in the middle, at the end.
    for (const double where : {0.0, 0.5, 1.0}) {
        TempDir cache;
        CompileSummary first, damaged, again;
        ASSERT_EQ(CompileWithCache(cache, &first), plain);
        // Every item is small: one pack holds them all.
        const QStringList entries =
            QDir(cache.Path()).entryList({QStringLiteral("*.cols"), QStringLiteral("*.pack")});
        ASSERT_EQ(entries.size(), 1);
        for (const QString& name : entries) {
            QFile entry(cache.File(name));
            ASSERT_TRUE(entry.open(QIODevice::ReadWrite));
            const qint64 at = static_cast<qint64>(where * static_cast<double>(entry.size() - 1));
            ASSERT_TRUE(entry.seek(at));
            const char byte = entry.read(1).at(0);
            ASSERT_TRUE(entry.seek(at));
            ASSERT_EQ(entry.write(QByteArray(1, static_cast<char>(byte ^ 0x24))), 1);
        }
        EXPECT_EQ(CompileWithCache(cache, &damaged), plain) << where;
        EXPECT_EQ(damaged.reused, 0) << where;
        // The entries were written anew and serve the next compile.
        EXPECT_EQ(CompileWithCache(cache, &again), plain) << where;
        EXPECT_EQ(again.reused, first.converted) << where;
    }
}

TEST(ColumnCache, TrimDropsTheEntriesUsedLongestAgo) {
    TempDir cache;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // Written newest first, so that only the file times can give the order.
    const char* names[] = {"new.cols", "middle.cols", "old.cols", "older.cols"};
    for (int k = 0; k < 4; ++k) {
        QFile entry(cache.Write(QString::fromLatin1(names[k]), QByteArray(100, 'c')));
        ASSERT_TRUE(entry.open(QIODevice::ReadWrite));
        ASSERT_TRUE(entry.setFileTime(now.addSecs(-100 * k), QFileDevice::FileModificationTime));
    }
    cache.Write(QStringLiteral("other.txt"), QByteArray(1000, 'x'));
    CColumnCache(cache.Path()).Trim(250);
    EXPECT_EQ(QDir(cache.Path()).entryList(QDir::Files, QDir::Name),
              QStringList({"middle.cols", "new.cols", "other.txt"}));
}

TEST(ColumnCache, TrimRemovesUnfinishedEntriesOfCompilesThatAreGone) {
    TempDir cache;
    // A process that has ended: its unfinished entry stays behind forever
    // unless a later compile removes it.
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const QString hash = QStringLiteral("3f8f79fd2269793392ed608d7a8233a23777cd16");
    const QString orphan = QStringLiteral("%1.cols.%2-1f5d25af.tmp").arg(hash).arg(gone);
    const QString writing = QStringLiteral("%1.cols.%2-42f1a1b6.tmp").arg(hash).arg(::getpid());
    for (const QString& name : {orphan, writing, hash + QStringLiteral(".cols"),
                                QStringLiteral("notes.%1-0badcafe.tmp").arg(gone)})
        cache.Write(name, QByteArray(21, 'c'));
    CColumnCache(cache.Path()).Trim();
    EXPECT_EQ(QDir(cache.Path()).entryList(QDir::Files, QDir::Name),
              QStringList({hash + QStringLiteral(".cols"), writing,
                           QStringLiteral("notes.%1-0badcafe.tmp").arg(gone)}));
}

TEST_F(Compile, DitheringChangesOnlyItsItemsAndOffIsTheGoldenFile) {
    BuildMixed();
    const QByteArray project = ReadAll(doc_.ProjectFilePath());
    const QByteArray golden = ReadAll(QStringLiteral(GLOWDECK_TEST_DATA "/mixed_single.data.bin"));
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 0, true));  // the picture
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 2, true));  // the animation
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray dithered = ReadAll(doc_.DataFilePath());
    ASSERT_EQ(dithered.size(), golden.size());
    // Index 53 bytes, picture 8 columns, interval 1, animation 12, text 6, picture 5.
    const int picture = 53, interval = picture + 8 * 21, animation = interval + 21,
              text = animation + 12 * 21;
    EXPECT_EQ(dithered.left(picture), golden.left(picture));
    EXPECT_NE(dithered.mid(picture, 8 * 21), golden.mid(picture, 8 * 21));
    EXPECT_EQ(dithered.mid(interval, 21), golden.mid(interval, 21));
    EXPECT_NE(dithered.mid(animation, 12 * 21), golden.mid(animation, 12 * 21));
    EXPECT_EQ(dithered.mid(text), golden.mid(text));
    // Off again: the project file and data.bin are those of a project that never dithered.
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 0, false));
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 2, false));
    EXPECT_EQ(ReadAll(doc_.ProjectFilePath()), project);
    ASSERT_TRUE(Run({1, 0}));
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), golden);
}

TEST_F(Compile, UnknownDitherValueCompilesPlain) {
    BuildMixed();
    File().SetOptionalText(0, 0, "dither", QStringLiteral("yes"));
    File().SetOptionalText(0, 2, "dither", QStringLiteral("2"));
    File().SetOptionalText(1, 0, "dither", QStringLiteral("1"));  // a text strip never dithers
    ASSERT_TRUE(Run({1, 0}));
    const QByteArray data = ReadAll(doc_.DataFilePath());
    EXPECT_EQ(data, ReadAll(QStringLiteral(GLOWDECK_TEST_DATA "/mixed_single.data.bin")));
}

TEST_F(Compile, CacheKeepsDitheredAndPlainColumnsApart) {
    BuildMixed();
    TempDir cache;
    auto compile = [&](CompileSummary* summary) { return CompileWithCache(cache, summary); };
    CompileSummary first, dithered, back;
    const QByteArray plain = compile(&first);
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 0, true));
    const QByteArray cachedRun = compile(&dithered);
    EXPECT_EQ(dithered.converted, 1);  // the picture, not its plain columns from the cache
    ASSERT_TRUE(Run({1, 0}));          // without a cache
    EXPECT_EQ(ReadAll(doc_.DataFilePath()), cachedRun);
    EXPECT_NE(cachedRun, plain);
    ASSERT_TRUE(item_ops::SetDither(doc_, 0, 0, false));
    EXPECT_EQ(compile(&back), plain);
    EXPECT_EQ(back.converted, 0);  // the plain entries are still valid
}

// Intervals, texts and narrow pictures are cheaper to convert than to find
// in a file of their own: they share one pack per project, which a compile
// reads once and writes once, and which never grows past twice what the
// project uses. Only wide items keep entries of their own.
TEST_F(Compile, SmallItemsShareOnePackThatStaysBounded) {
    BuildMixed();
    for (int k = 0; k < 20; ++k) ASSERT_TRUE(doc_.NewInterval(2, QStringLiteral("隔")));
    AddPicture(1, Pattern(400, 3));  // 400 columns: 8400 bytes, an entry of its own
    ASSERT_TRUE(doc_.SaveProject());
    TempDir cache;
    auto files = [&](const char* pattern) {
        return QDir(cache.Path()).entryList({QLatin1String(pattern)}, QDir::Files).size();
    };
    CompileSummary first, again;
    const QByteArray full = CompileWithCache(cache, &first);
    EXPECT_EQ(files("*.cols"), 1);
    EXPECT_EQ(files("*.pack"), 1);
    EXPECT_EQ(files("*"), 2);
    EXPECT_EQ(CompileWithCache(cache, &again), full);
    EXPECT_EQ(again.converted, 0);
    EXPECT_EQ(again.reused, first.converted);
    // Every compile after an interval changed: the pack holds the entries in
    // use and at most as many bytes of others.
    const QString pack =
        cache.File(QDir(cache.Path()).entryList({QStringLiteral("*.pack")}).value(0));
    const qint64 used = QFileInfo(pack).size();
    for (int k = 1; k <= 50; ++k) {
        ASSERT_TRUE(item_ops::ApplyInterval(doc_, 1, 2 + k % 20, 1, k % 2 ? 0xFF : 0xFF00));
        CompileSummary step;
        CompileWithCache(cache, &step);
        EXPECT_EQ(step.converted, 1) << k;
        EXPECT_LE(QFileInfo(pack).size(), 2 * used + 512) << k;
    }
}
