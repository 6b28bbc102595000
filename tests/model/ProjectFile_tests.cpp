// SPDX-License-Identifier: GPL-3.0-or-later
// The project file: its exact bytes, reading what people and other programs
// write, the value forms and the access errors.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QRegularExpression>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>

#include "base/AccessError.h"
#include "model/ProjectFile.h"
#include "model/TreeMemory.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

namespace {

QByteArray Golden(const char* name) {
    return ReadAll(QStringLiteral(GLOWDECK_TEST_DATA "/") + QLatin1String(name));
}

QByteArray WithoutIds(QByteArray bytes) {
    QString text = QString::fromUtf8(bytes);
    text.replace(QRegularExpression(QStringLiteral("id=\"[0-9A-F-]{36}\"")),
                 QStringLiteral("id=\"00000000-0000-0000-0000-000000000000\""));
    return text.toUtf8();
}

}  // namespace

TEST(ProjectFileForm, FreshProjectWithOneIntervalHasTheExactBytes) {
    TempDir dir;
    CProjectFile file(dir.File("Index.prj"), QStringLiteral("新建项目"));
    EXPECT_FALSE(file.Loaded());
    file.AppendGroup(QStringLiteral("新建组"));
    file.AppendItem(0, ItemKind::Interval, QStringLiteral("间隔"), CProjectFile::GenerateId());
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(WithoutIds(ReadAll(dir.File("Index.prj"))), Golden("fresh_project_interval.prj"));
}

TEST(ProjectFileForm, EveryKindWritesItsPropertiesInFileOrder) {
    TempDir dir;
    CProjectFile file(dir.File("Index.prj"), QStringLiteral("新建项目"));
    file.AppendGroup(QStringLiteral("新建组"));
    for (ItemKind kind :
         {ItemKind::Interval, ItemKind::Picture, ItemKind::Animation, ItemKind::Text})
        file.AppendItem(0, kind, KindInfo(kind).defaultName, CProjectFile::GenerateId());
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(WithoutIds(ReadAll(dir.File("Index.prj"))), Golden("fresh_project_all_kinds.prj"));
}

TEST(ProjectFileForm, HandIndentedFileReadsTheSameAndSavesWithoutWhitespace) {
    TempDir dir;
    const QString path = dir.Write("Index.prj", Golden("hand_indented.prj"));
    CProjectFile file(path);
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(file.ProjectName(), QStringLiteral("手写"));
    ASSERT_EQ(file.GroupCount(), 2);
    EXPECT_EQ(file.ItemCount(0), 2);  // whitespace between elements is not a position
    EXPECT_EQ(file.ItemCount(1), 0);
    EXPECT_EQ(file.ItemKindOf(0, 1), QStringLiteral("gif"));
    EXPECT_EQ(file.GetInt(0, 0, "width"), 640);
    EXPECT_EQ(file.GetIntList(0, 1, "interval"), (std::vector<int>{10, 10, 25}));
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadAll(path), Golden("hand_indented_saved.prj"));
    CProjectFile again(path);
    EXPECT_EQ(again.Serialize(), Golden("hand_indented_saved.prj"));
}

TEST(ProjectFileForm, ItemIdsAreUpperCaseGuids) {
    const QRegularExpression form(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    const QString a = CProjectFile::GenerateId(), b = CProjectFile::GenerateId();
    EXPECT_TRUE(form.match(a).hasMatch()) << a.toStdString();
    EXPECT_NE(a, b);
}

TEST(ProjectFileRead, RootOfAnyNameHoldsTheGroupsAndOtherChildrenAreSkipped) {
    TempDir dir;
    const QString path = dir.Write(
        "Index.prj",
        "<?xml version=\"1.0\"?><whatever name=\"x\"><note/><group name=\"a\"/><group "
        "name=\"b\"><mystery name=\"m\" id=\"1\"/><nullpic name=\"n\" id=\"2\"><length>3</length>"
        "</nullpic></group></whatever>");
    CProjectFile file(path);
    ASSERT_TRUE(file.Loaded());
    ASSERT_EQ(file.GroupCount(), 2);
    EXPECT_EQ(file.GroupName(1), QStringLiteral("b"));
    EXPECT_EQ(file.ItemCount(1), 2);  // the unknown element still holds a position
    EXPECT_EQ(file.ItemKindOf(1, 0), QStringLiteral("mystery"));
    EXPECT_EQ(file.GetInt(1, 1, "length"), 3);
}

TEST(ProjectFileRead, NamespacePrefixIsNotPartOfTheKind) {
    TempDir dir;
    CProjectFile file(dir.Write("Index.prj",
                                "<project><group name='g'><x:gif name='a' id='b'/>"
                                "</group></project>"));
    EXPECT_EQ(file.ItemKindOf(0, 0), QStringLiteral("gif"));
}

TEST(ProjectFileRead, TextSplitBySkippedMarkupIsOnePositionAndSurvivesASave) {
    TempDir dir;
    CProjectFile file(dir.Write("Index.prj",
                                "<project><group name='g'>ab<?pi x?>cd<!-- c -->ef"
                                "<nullpic name='n' id='i'/></group></project>"));
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(file.ItemCount(0), 2);
    EXPECT_EQ(file.ItemKindOf(0, 1), QStringLiteral("nullpic"));
    CProjectFile again(file.FilePath(), file.Serialize(), QString());
    EXPECT_EQ(again.ItemCount(0), 2);
}

TEST(ProjectFileRead, UnreadableFilesGiveAnEmptyProjectWithTheReason) {
    TempDir dir;
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    QByteArray garbage;
    for (int k = 0; k < 4096; ++k) garbage.append(char((k * 7919) & 0xFF));
    const Case cases[] = {
        {"empty", QByteArray()},
        {"not xml", "this is not xml at all"},
        {"binary", garbage},
        {"unclosed", "<project name='a'><group name='g'>"},
        {"declaration only", "<?xml version='1.0' encoding='UTF-8'?>"},
    };
    for (const Case& c : cases) {
        const QString path = dir.Write(QStringLiteral("Index.prj"), c.bytes);
        CProjectFile file(path, QStringLiteral("fallback"));
        EXPECT_FALSE(file.Loaded()) << c.what;
        EXPECT_FALSE(file.LoadError().isEmpty()) << c.what;
        EXPECT_EQ(file.GroupCount(), 0) << c.what;
        EXPECT_EQ(file.ProjectName(), QStringLiteral("fallback")) << c.what;
    }
    CProjectFile missing(dir.File("nothing-here.prj"));
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ(missing.ProjectName(), QString());
}

TEST(ProjectFileRead, ErrorNamesLineAndColumn) {
    TempDir dir;
    CProjectFile file(
        dir.Write("Index.prj", "<project>\n  <group name='a'>\n  </grop>\n</project>"));
    EXPECT_FALSE(file.Loaded());
    EXPECT_TRUE(file.LoadError().contains(QStringLiteral("line 3")))
        << file.LoadError().toStdString();
}

TEST(ProjectFileRead, VeryDeepNestingLoadsWithoutExhaustingTheStack) {
    TempDir dir;
    QByteArray deep = "<project name='d'><group name='g'>";
    for (int k = 0; k < 100000; ++k) deep += "<a>";
    for (int k = 0; k < 100000; ++k) deep += "</a>";
    deep += "</group></project>";
    CProjectFile file(dir.Write("Index.prj", deep));
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(file.ItemCount(0), 1);
    EXPECT_EQ(file.ItemKindOf(0, 0), QStringLiteral("a"));
    EXPECT_THROW(file.GetInt(0, 0, "length"), AccessError);
    EXPECT_TRUE(file.Save());
    EXPECT_TRUE(CProjectFile(file.FilePath()).Loaded());
}

TEST(ProjectFileRead, UnreadableOriginalIsKeptBesideTheFirstSave) {
    TempDir dir;
    const QString path = dir.Write("Index.prj", "<project><group name='lost work'>");
    CProjectFile file(path, QStringLiteral("p"));
    ASSERT_FALSE(file.Loaded());
    file.AppendGroup(QStringLiteral("g"));
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadAll(path + ".bak"), QByteArray("<project><group name='lost work'>"));
    EXPECT_TRUE(CProjectFile(path).Loaded());
    ASSERT_TRUE(file.Save());  // only the unreadable original is kept, once
    EXPECT_FALSE(QFile::exists(path + ".bak1"));
}

class ProjectFileValues : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = std::make_unique<CProjectFile>(dir_.File("Index.prj"), QStringLiteral("v"));
        file_->AppendGroup(QStringLiteral("g"));
        file_->AppendItem(0, ItemKind::Animation, QStringLiteral("a"), QStringLiteral("id"));
    }
    TempDir dir_;
    std::unique_ptr<CProjectFile> file_;
};

TEST_F(ProjectFileValues, IntegersReadByTheCLibraryRule) {
    const std::pair<const char*, int> cases[] = {
        {"42", 42},
        {"-7", -7},
        {"  12abc", 12},
        {"abc", 0},
        {"", 0},
        {"+5", 5},
        {"007", 7},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto& [text, value] : cases) {
        file_->SetText(0, 0, "speed", QString::fromUtf8(text));
        EXPECT_EQ(file_->GetInt(0, 0, "speed"), value) << text;
    }
    file_->SetInt(0, 0, "speed", -15);
    EXPECT_EQ(file_->GetText(0, 0, "speed"), QStringLiteral("-15"));
}

TEST_F(ProjectFileValues, IntegerListsFollowTheCommaRules) {
    file_->SetText(0, 0, "interval", QStringLiteral("10,20"));
    EXPECT_EQ(file_->GetIntList(0, 0, "interval"), (std::vector<int>{10, 20}));
    file_->SetText(0, 0, "interval", QString());
    EXPECT_EQ(file_->GetIntList(0, 0, "interval"), (std::vector<int>{0}));
    file_->SetText(0, 0, "interval", QStringLiteral("5,,x,"));
    EXPECT_EQ(file_->GetIntList(0, 0, "interval"), (std::vector<int>{5, 0, 0, 0}));

    QStringList sixty;
    for (int k = 1; k <= 60; ++k) sixty << QString::number(k);
    file_->SetText(0, 0, "interval", sixty.join(QLatin1Char(',')));
    const std::vector<int> read = file_->GetIntList(0, 0, "interval");
    ASSERT_EQ(read.size(), 50u);
    EXPECT_EQ(read.front(), 1);
    EXPECT_EQ(read.back(), 50);

    file_->SetIntList(0, 0, "interval", {7, 8, 9});
    EXPECT_EQ(file_->GetText(0, 0, "interval"), QStringLiteral("7,8,9"));
    file_->SetIntList(0, 0, "interval", {});
    EXPECT_EQ(file_->GetText(0, 0, "interval"), QString());
}

TEST_F(ProjectFileValues, TextIsTheWholeContentAndSetTextReplacesIt) {
    TempDir dir;
    CProjectFile file(
        dir.Write("Index.prj",
                  "<project><group name='g'><txtpic name='t' id='i'>"
                  "<text>a<![CDATA[<b>]]><i>c<u>d</u></i>e</text></txtpic></group></project>"));
    EXPECT_EQ(file.GetText(0, 0, "text"), QStringLiteral("a<b>cde"));
    file.SetText(0, 0, "text", QStringLiteral("新文字 & <more>"));
    EXPECT_EQ(file.GetText(0, 0, "text"), QStringLiteral("新文字 & <more>"));
    EXPECT_TRUE(file.Serialize().contains("<text>新文字 &amp; &lt;more&gt;</text>"));
}

TEST_F(ProjectFileValues, NewItemIdReplacesTheIdOnly) {
    const QString id = file_->NewItemId(0, 0);
    EXPECT_EQ(file_->GetAttr(0, 0, "id"), id);
    EXPECT_EQ(file_->GetAttr(0, 0, "name"), QStringLiteral("a"));
    EXPECT_NE(id, QStringLiteral("id"));
}

TEST_F(ProjectFileValues, IdsThatLeaveTheImagesFolderAreAccessErrors) {
    for (const char* id : {"../../outside/secret", "..", "a/b", "/etc/passwd", "a\\b", ""}) {
        file_->SetAttr(0, 0, "id", QString::fromLatin1(id));
        EXPECT_THROW(file_->ItemId(0, 0), AccessError) << id;
    }
    EXPECT_FALSE(
        CProjectFile::IsPlainFileName(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")));
    for (const QString& id :
         {CProjectFile::GenerateId(), QStringLiteral("x"), QStringLiteral("a.b")}) {
        file_->SetAttr(0, 0, "id", id);
        EXPECT_EQ(file_->ItemId(0, 0), id);
    }
}

TEST_F(ProjectFileValues, MissingPositionsAndAttributesAreAccessErrors) {
    EXPECT_THROW(file_->GroupName(1), AccessError);
    EXPECT_THROW(file_->GroupName(-1), AccessError);
    EXPECT_THROW(file_->ItemCount(5), AccessError);
    EXPECT_THROW(file_->ItemKindOf(0, 1), AccessError);
    EXPECT_THROW(file_->GetInt(0, 0, "fontsize"), AccessError);  // not a property of animations
    EXPECT_THROW(file_->SetInt(0, 0, "fontsize", 3), AccessError);
    EXPECT_THROW(file_->GetAttr(0, 0, "colour"), AccessError);
    EXPECT_THROW(file_->RemoveItem(0, 3), AccessError);
    EXPECT_THROW(file_->PlaceGroupAfter(0, 4, true), AccessError);
    EXPECT_EQ(file_->GroupCount(), 1);  // nothing changed by the failed calls
    EXPECT_EQ(file_->ItemCount(0), 1);
}

TEST(ProjectFileRead, OnlyFilesFarBeyondAnyProjectAreRefusedAsDamaged) {
    TempDir dir;
    // `groups` groups sharing `items` intervals, the last group taking the rest.
    auto project = [](int groups, int items) {
        QByteArray xml = "<project name='big'>";
        for (int g = 0; g < groups; ++g) {
            xml += "<group name='g'>";
            const int here = g + 1 < groups ? items / groups : items - items / groups * g;
            for (int i = 0; i < here; ++i)
                xml += "<nullpic name='n' id='i'><length>1</length></nullpic>";
            xml += "</group>";
        }
        return xml + "</project>";
    };
    const struct {
        int groups, items;
        bool loads;
    } cases[] = {{11, 30000, true}, {11, 30001, false}, {30000, 0, true}, {30001, 0, false}};
    for (const auto& c : cases) {
        CProjectFile file(dir.Write("Index.prj", project(c.groups, c.items)));
        EXPECT_EQ(file.Loaded(), c.loads) << c.groups << " groups, " << c.items << " items";
        if (c.loads) {
            EXPECT_EQ(file.GroupCount(), c.groups);
            const int last = c.groups - 1;
            EXPECT_EQ(file.ItemCount(last), c.items - c.items / c.groups * last);
        } else {
            EXPECT_TRUE(file.LoadError().startsWith(QStringLiteral("项目文件有误：")))
                << file.LoadError().toStdString();
        }
    }
}

TEST(ProjectFileEdit, PositionsAfterEveryChangeAreThoseOfTheSavedFile) {
    TempDir dir;
    CProjectFile file(dir.File("Index.prj"), QStringLiteral("p"));
    for (int g = 0; g < 3; ++g) {
        file.AppendGroup(QStringLiteral("g%1").arg(g));
        for (int i = 0; i < 3; ++i)
            file.AppendItem(g, static_cast<ItemKind>(i), QStringLiteral("%1.%2").arg(g).arg(i),
                            CProjectFile::GenerateId());
    }
    auto layout = [](const CProjectFile& f) {
        QStringList names;
        for (int g = 0; g < f.GroupCount(); ++g) {
            names << f.GroupName(g);
            for (int i = 0; i < f.ItemCount(g); ++i) names << f.GetAttr(g, i, "name");
        }
        return names;
    };
    const std::function<void()> edits[] = {
        [&] { file.PlaceItemAfter(0, 0, 2, 1, false); },
        [&] { file.PlaceItemAfter(2, 0, 0, -1, true); },
        [&] { file.PlaceGroupAfter(0, 2, false); },
        [&] { file.PlaceGroupAfter(1, 0, true); },
        [&] { file.RemoveItem(1, 1); },
        [&] { file.RemoveGroup(2); },
        [&] { file.AppendItem(0, ItemKind::Text, QStringLiteral("t"), QStringLiteral("x")); },
    };
    for (size_t k = 0; k < std::size(edits); ++k) {
        const auto snapshot = file.TakeSnapshot();
        edits[k]();
        EXPECT_EQ(layout(file), layout(CProjectFile(file.FilePath(), file.Serialize(), QString())))
            << "edit " << k;
        file.Restore(*snapshot);
        EXPECT_EQ(layout(file), layout(CProjectFile(file.FilePath(), file.Serialize(), QString())))
            << "undone edit " << k;
        edits[k]();
    }
}

// An edit learns which ids it may have dropped from what it overwrote or
// removed, instead of comparing every id before and after: each change
// names exactly the ids it took out of the tree, and a restored snapshot
// takes back what was released after it.
TEST(ProjectFileEdit, ChangesReleaseExactlyTheIdsTheyTakeOut) {
    TempDir dir;
    const QString path = dir.Write(
        "Index.prj",
        "<?xml version=\"1.0\"?><project name=\"p\">"
        "<group name=\"a\"><picture name=\"p\" id=\"P1\"><r>1</r><note id=\"deep\"/></picture>"
        "<nullpic name=\"i\" id=\"I1\"><length>1</length><x><y id=\"nested\"/></x></nullpic>"
        "</group><group name=\"b\"><gif name=\"g\" id=\"G1\"><r>1</r></gif></group></project>");
    CProjectFile file(path);
    ASSERT_TRUE(file.Loaded());
    struct Case {
        const char* what;
        std::function<void()> change;
        QStringList released;
    };
    const Case cases[] = {
        {"new id", [&] { file.SetAttr(0, 0, "id", QStringLiteral("P2")); }, {"P1"}},
        {"other attribute", [&] { file.SetAttr(0, 0, "name", QStringLiteral("n")); }, {}},
        {"remove item", [&] { file.RemoveItem(0, 0); }, {"P1", "deep"}},
        {"remove group", [&] { file.RemoveGroup(1); }, {"G1"}},
        {"text over nested", [&] { file.SetText(0, 1, "x", QStringLiteral("t")); }, {"nested"}},
        {"remove property", [&] { file.RemoveProperty(0, 0, "note"); }, {"deep"}},
        {"move", [&] { file.PlaceItemAfter(0, 0, 1, -1, false); }, {}},
    };
    for (const Case& c : cases) {
        const auto before = file.TakeSnapshot();
        c.change();
        EXPECT_EQ(file.IdsReleasedSince(*before), c.released) << c.what;
        // Exactly the released ids that nothing names any more are gone.
        QStringList gone;
        for (const QString& id : before->AllIds())
            if (!file.AllIds().contains(id)) gone << id;
        EXPECT_EQ(file.Unnamed(c.released), gone) << c.what;
        file.Restore(*before);
        EXPECT_TRUE(file.IdsReleasedSince(*before).isEmpty()) << c.what;
    }
}

// Ids name files in any letter case, as image_use compares them, also
// where Unicode lower-cases a character to ASCII (KELVIN SIGN to "k").
TEST(ProjectFileEdit, UnnamedComparesIdsInAnyLetterCase) {
    TempDir dir;
    const QString path = dir.Write(
        "Index.prj", QStringLiteral("<project><group name=\"a\"><picture name=\"p\" id=\"AbC\"/>"
                                    "<picture name=\"q\" id=\"\u212Aey\"/><picture name=\"r\" "
                                    "id=\"Ärger\"/></group></project>")
                         .toUtf8());
    CProjectFile file(path);
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(file.Unnamed({"abc", "ABC", "key", "KEY", "ärger", "abcd", "ab", "x", ""}),
              QStringList({"abcd", "ab", "x"}));
}

// A file of thousands of items: its tree lives in the large-tree regions and
// is saved in pieces. The bytes are those of one piece, a save that fails
// after some pieces leaves the file as it was, and the tree's memory is
// given back when it goes, from whichever thread.
TEST(ProjectFileLarge, SavesInPiecesAllOrNothingAndGivesItsMemoryBack) {
    TempDir dir;
    const QString path = dir.File("Index.prj");
    {
        CProjectFile file(path, QStringLiteral("大"));
        file.AppendGroup(QStringLiteral("组"));
        for (int i = 0; i < 3000; ++i)
            file.AppendItem(0, ItemKind::Interval, QStringLiteral("间隔%1").arg(i),
                            CProjectFile::GenerateId());
        ASSERT_TRUE(file.Save());
    }
    const QByteArray written = ReadAll(path);
    ASSERT_GT(written.size(), 256 * 1024);
    const size_t liveBefore = tree_memory::LiveInRegions();
    auto loaded = std::make_unique<CProjectFile>(path);
    ASSERT_TRUE(loaded->Loaded());
    EXPECT_GT(tree_memory::LiveInRegions(), liveBefore);
    ASSERT_EQ(loaded->ItemCount(0), 3000);

    loaded->SetInt(0, 2999, "length", 7);
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 100 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString why;
    const bool savedOverLimit = loaded->Save(&why);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(savedOverLimit);
    EXPECT_TRUE(why.contains(path)) << why.toStdString();
    EXPECT_EQ(ReadAll(path), written);
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList{"Index.prj"});

    ASSERT_TRUE(loaded->Save());
    QByteArray expected = written;
    const QByteArray last = "<length>1</length>";
    expected.replace(expected.lastIndexOf(last), last.size(), "<length>7</length>");
    EXPECT_EQ(ReadAll(path), expected);

    std::thread([&] { loaded.reset(); }).join();
    EXPECT_EQ(tree_memory::LiveInRegions(), liveBefore);
}
