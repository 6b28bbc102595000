// SPDX-License-Identifier: GPL-3.0-or-later
// setting.ini: the profile rules, code page 936, odd files, writing back.
#include <gtest/gtest.h>

#include "base/Cp936.h"
#include "model/IniFile.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::ReadAll;
using glowdeck::test::TempDir;

namespace {
const QString kPath = QStringLiteral("PATH"), kProject = QStringLiteral("PROJECT");
const QString kReadme = QStringLiteral("README"), kBuild = QStringLiteral("BUILD");
}  // namespace

TEST(IniFileRead, ProfileRules) {
    TempDir dir;
    const QByteArray content =
        ToCp936(QStringLiteral("; comment\n"
                               "[path]\n"
                               "  Project  =  /data/彩球/  \n"
                               "[README]\n"
                               "BUILD=\"编译后发送\"\n"
                               "Build=second value is ignored\n"
                               "noequals line\n"
                               "[TYPE]\n"
                               "TYPE=2x\n"));
    CIniFile ini(dir.Write("setting.ini", content));
    EXPECT_EQ(ini.GetString(kPath, kProject, QStringLiteral("d")), QStringLiteral("/data/彩球/"));
    EXPECT_EQ(ini.GetString(kReadme, kBuild, QString()), QStringLiteral("编译后发送"));
    EXPECT_EQ(ini.GetInt(QStringLiteral("TYPE"), QStringLiteral("TYPE"), 0), 2);
    EXPECT_EQ(ini.GetInt(QStringLiteral("TYPE"), QStringLiteral("MISSING"), 7), 7);
    EXPECT_EQ(ini.GetString(QStringLiteral("NOPE"), kBuild, QStringLiteral("dflt")),
              QStringLiteral("dflt"));
}

TEST(IniFileRead, WindowsLineEndsReadTheSame) {
    TempDir dir;
    CIniFile ini(
        dir.Write("setting.ini",
                  ToCp936(QStringLiteral("[PATH]\r\nPROJECT=/p/\r\n[README]\r\nBUILD=提示\r\n"))));
    EXPECT_EQ(ini.GetString(kPath, kProject, QString()), QStringLiteral("/p/"));
    EXPECT_EQ(ini.GetString(kReadme, kBuild, QString()), QStringLiteral("提示"));
}

TEST(IniFileRead, LongValuesAreCutAt259Bytes) {
    TempDir dir;
    CIniFile ascii(dir.Write("a.ini", "[README]\nBUILD=" + QByteArray(300, 'x') + "\n"));
    EXPECT_EQ(ascii.GetString(kReadme, kBuild, QString()), QString(259, QLatin1Char('x')));
    // 259 bytes end inside the 130th double-byte character: that half is dropped.
    CIniFile wide(
        dir.Write("w.ini", "[README]\nBUILD=" + ToCp936(QString(150, QChar(u'彩'))) + "\n"));
    EXPECT_EQ(wide.GetString(kReadme, kBuild, QString()), QString(129, QChar(u'彩')));
}

TEST(IniFileRead, OddFilesReadWithDefaults) {
    TempDir dir;
    QByteArray binary;
    for (int k = 0; k < 5000; ++k) binary.append(char((k * 131) & 0xFF));
    const QByteArray cases[] = {
        QByteArray(),
        "PROJECT=/no/section/\n",
        "[PATH\nPROJECT=/unclosed/\n",
        binary,
        QByteArray(1 << 20, 'a'),  // one overlong line
        "[PATH]\nPROJECT\n",
    };
    int k = 0;
    for (const QByteArray& bytes : cases) {
        CIniFile ini(dir.Write(QStringLiteral("odd%1.ini").arg(k++), bytes));
        EXPECT_EQ(ini.GetString(kPath, kProject, QStringLiteral("default")),
                  QStringLiteral("default"))
            << "case " << k;
    }
    CIniFile missing(dir.File("absent.ini"));
    EXPECT_EQ(missing.GetInt(QStringLiteral("TYPE"), QStringLiteral("TYPE"), 0), 0);
}

TEST(IniFileRead, InvalidCodePageBytesDoNotBreakTheValue) {
    TempDir dir;
    CIniFile ini(dir.Write("setting.ini", "[PATH]\nPROJECT=/a\xFF\x81/b\n"));
    const QString value = ini.GetString(kPath, kProject, QString());
    EXPECT_TRUE(value.startsWith(QStringLiteral("/a")));
    EXPECT_TRUE(value.endsWith(QStringLiteral("/b")) || value.contains(QChar(0xFFFD)));
}

TEST(IniFileWrite, SetKeepsOtherLinesAndLineEnds) {
    TempDir dir;
    const QString path =
        dir.Write("setting.ini", "[PATH]\r\nPROJECT=/p/\r\n\r\n[README]\r\nBUILD=b\r\n");
    CIniFile ini(path);
    ASSERT_TRUE(ini.SetString(QStringLiteral("TYPE"), QStringLiteral("TYPE"), QStringLiteral("2")));
    ASSERT_TRUE(ini.SetString(kPath, QStringLiteral("EXTRA"), QStringLiteral("中")));
    ASSERT_TRUE(ini.SetString(kReadme, QStringLiteral("build"), QStringLiteral("c")));
    EXPECT_EQ(ReadAll(path), "[PATH]\r\nPROJECT=/p/\r\nEXTRA=" + ToCp936(QStringLiteral("中")) +
                                 "\r\n\r\n[README]\r\nbuild=c\r\n[TYPE]\r\nTYPE=2\r\n");
    CIniFile again(path);
    EXPECT_EQ(again.GetInt(QStringLiteral("type"), QStringLiteral("type"), 0), 2);
}

TEST(IniFileWrite, NewFileIsCreated) {
    TempDir dir;
    CIniFile ini(dir.File("setting.ini"));
    ASSERT_TRUE(ini.SetString(QStringLiteral("TYPE"), QStringLiteral("TYPE"), QStringLiteral("1")));
    EXPECT_EQ(ReadAll(dir.File("setting.ini")), QByteArray("[TYPE]\nTYPE=1\n"));
    CIniFile broken(dir.File("no/such/folder/setting.ini"));
    QString error;
    EXPECT_FALSE(broken.SetString(QStringLiteral("TYPE"), QStringLiteral("TYPE"),
                                  QStringLiteral("1"), &error));
    EXPECT_FALSE(error.isEmpty());
}
