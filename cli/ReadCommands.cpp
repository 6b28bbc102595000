// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReadCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "base/AccessError.h"
#include "base/AtomicFile.h"
#include "base/MessageSink.h"
#include "base/RegularFile.h"
#include "cli/CliProgress.h"
#include "cli/CliSupport.h"
#include "cli/CommandTable.h"
#include "compile/CompileStamp.h"
#include "compile/DataFileReader.h"
#include "model/IniFile.h"
#include "model/ProgramFolders.h"
#include "model/ProjectFile.h"
#include "model/ProjectLimits.h"
#include "model/ProjectLock.h"
#include "model/ProjectQueries.h"

namespace glowdeck {

namespace {

QString KindWord(const QString& elementName) {
    const auto kind = KindFromElementName(elementName);
    if (!kind)
        return QCoreApplication::translate("ProjectCommands", "unknown <%1>").arg(elementName);
    switch (*kind) {
        case ItemKind::Picture:
            return QStringLiteral("picture");
        case ItemKind::Animation:
            return QStringLiteral("animation");
        case ItemKind::Text:
            return QStringLiteral("text");
        case ItemKind::Interval:
            break;
    }
    return QStringLiteral("interval");
}

}  // namespace

int RunList(const QStringList& args) {
    if (args.size() != 1) {
        PrintErr(
            QCoreApplication::translate("ProjectCommands", "usage: glowdeck-cli list PROJECT"));
        return 2;
    }
    // The project is read as the desktop program opens it, without the
    // document (which draws) and without a lock: saves are atomic, so a
    // reader always sees a whole file.
    if (!QFileInfo(args[0]).isDir()) {
        PrintErr(
            QCoreApplication::translate("CliSupport", "not a project folder: %1").arg(args[0]));
        return 1;
    }
    QString folder = QDir::cleanPath(QDir(args[0]).absolutePath());
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    const QString path = ProjectFileIn(folder);
    const CProjectFile file(path);
    if (!file.Loaded() && QFileInfo::exists(path)) {
        StderrMessageSink messages;
        messages.Warn(
            QCoreApplication::translate(
                "GlowdeckDoc",
                "项目文件无法读取，现以空项目打开（原文件在首次保存前另存为 .bak）：\n%1\n%2")
                .arg(path, file.LoadError()));
    }
    if (!QFileInfo::exists(path)) {
        PrintErr(QCoreApplication::translate("CliSupport", "no Index.prj in %1").arg(args[0]));
        return 1;
    }
    if (!file.Loaded()) {
        PrintErr(QCoreApplication::translate("CliSupport", "cannot read %1: %2")
                     .arg(path, file.LoadError()));
        return 1;
    }
    PrintOut(QStringLiteral("project %1 (%2)").arg(file.ProjectName(), folder));
    int problems = 0;
    for (int g = 0; g < file.GroupCount(); ++g) {
        PrintOut(QStringLiteral("group %1 %2").arg(g + 1).arg(file.GroupName(g)));
        for (int i = 0; i < file.ItemCount(g); ++i) {
            const QString element = file.ItemKindOf(g, i);
            QString line = QStringLiteral("  %1 %2").arg(i + 1).arg(KindWord(element));
            if (KindFromElementName(element)) {
                try {
                    line += QCoreApplication::translate("ProjectCommands", " %1 id=%2 length=%3")
                                .arg(file.GetAttr(g, i, "name"), file.ItemId(g, i))
                                .arg(file.GetInt(g, i, "length"));
                    if (item_ops::Dithers(file, g, i)) line += QStringLiteral(" dither");
                } catch (const AccessError& e) {
                    line += QCoreApplication::translate("ProjectCommands", " (damaged: %1)")
                                .arg(QString::fromUtf8(e.what()));
                    ++problems;
                }
            }
            PrintOut(line);
        }
    }
    std::uint32_t bytes = 0;
    try {
        bytes = DataBytesOf(file);
    } catch (const AccessError& e) {
        PrintErr(QString::fromUtf8(e.what()));
        return 1;
    }
    PrintOut(QStringLiteral("data %1 bytes of %2 (%3%)")
                 .arg(bytes)
                 .arg(MaxTotalDataBytes)
                 .arg(100.0 * bytes / MaxTotalDataBytes, 0, 'f', 1));
    return problems ? 1 : 0;
}

namespace {

// The ball and layer of a compile's arguments, as TakeBallOptions reads them,
// without a word on stderr: nullopt when anything would be said (a bad value,
// an unreadable setting.ini); the full program then says it.
std::optional<BallConfig> QuietBallOptions(QStringList& args) {
    BallConfig ball;
    ball.ballType = 1;
    ball.layer = 0;
    if (const auto type = TakeOption(args, QStringLiteral("--ball"))) {
        if (*type != QLatin1String("1") && *type != QLatin1String("2")) return std::nullopt;
        ball.ballType = type->toInt();
    } else {
        const CIniFile ini(ProgramFolders::ForThisProgram().SettingsFile());
        if (!ini.UnreadableMessage().isEmpty()) return std::nullopt;
        if (StoredBallType(ini) == 2) ball.ballType = 2;
    }
    if (const auto layer = TakeOption(args, QStringLiteral("--layer"))) {
        if (*layer != QLatin1String("inner") && *layer != QLatin1String("outer"))
            return std::nullopt;
        ball.layer = *layer == QLatin1String("inner") ? 1 : 0;
    }
    return ball;
}

}  // namespace

int RunCompileReading(const QStringList& arguments) {
    // Only a compile with the column cache and nothing to do is answered
    // here; anything else, and anything to say, is the full program's.
    QStringList args = arguments;
    const std::optional<BallConfig> ball = QuietBallOptions(args);
    if (!ball || args.size() != 1 || !QFileInfo(args[0]).isDir()) return kRunInFullProgram;
    // A wait the full program would refuse is its to refuse.
    if (qEnvironmentVariableIsSet("GLOWDECK_LOCK_WAIT") &&
        !ParseDecimal(qEnvironmentVariable("GLOWDECK_LOCK_WAIT"), 0, 3600))
        return kRunInFullProgram;
    const QString cacheFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cacheFolder.isEmpty()) return kRunInFullProgram;
    const QString clean = QDir::cleanPath(QDir(args[0]).absolutePath());
    const QString folder = clean + QLatin1Char('/');
    // Without a stamp (a first compile, an emptied cache) there is nothing
    // to look at here.
    const QString stampPath =
        CompileStamp::PathFor(cacheFolder + QStringLiteral("/glowdeck/columns"), folder);
    if (!QFileInfo::exists(stampPath)) return kRunInFullProgram;
    // Held as a compile holds it; a project in use is the full program's
    // to wait for or refuse.
    CProjectLock lock;
    QString why;
    if (!lock.Acquire(clean, CProjectLock::CommandLineProgram(), 0, &why)) return kRunInFullProgram;
    const QString path = ProjectFileIn(folder);
    const std::optional<QByteArray> bytes = ReadWholeFile(path, MaxProjectFileBytes, nullptr);
    if (!bytes) return kRunInFullProgram;
    const CProjectFile file(path, *bytes, QString());
    if (!file.Loaded()) return kRunInFullProgram;
    const QString dataFile = folder + QStringLiteral("data.bin");
    const std::optional<CompileStamp> stamp = CompileStamp::Read(
        stampPath,
        CompileStamp::Fingerprint(file, *bytes, folder + QStringLiteral("Images/"), *ball),
        dataFile);
    if (!stamp) return kRunInFullProgram;
    // What a killed compile left goes, as at every compile (we hold the project).
    RemoveStaleTemporaries(dataFile);
    QFile::remove(dataFile + QStringLiteral(".new"));
    // What the compile would say, its progress included.
    CliProgress progress(QStringLiteral("compile"), CliProgress::StderrIsTerminal());
    const long long maximum = 100LL * stamp->items;
    for (long long done = 0; done <= maximum; done += 100) progress.Update(done, maximum);
    progress.Finish();
    PrintOut(
        QCoreApplication::translate(
            "CompileCommands",
            "compiled %1: %2 groups, %3 items, %4 columns, %5 bytes (%6 of the ball's %7 bytes)")
            .arg(dataFile)
            .arg(stamp->groups)
            .arg(stamp->items)
            .arg(stamp->columns)
            .arg(stamp->bytes)
            .arg(QString::number(100.0 * stamp->bytes / MaxTotalDataBytes, 'f', 1) +
                 QLatin1Char('%'))
            .arg(MaxTotalDataBytes));
    return 0;
}

int RunInspectReading(const QStringList& args) { return InspectDataFile(args, nullptr); }

int InspectDataFile(const QStringList& arguments, GroupPictureWriter writePicture) {
    QStringList args = arguments;
    const std::optional<QString> png = TakeOption(args, QStringLiteral("--png"));
    // Drawing the picture is the full program's work.
    if (png && !writePicture) return kRunInFullProgram;
    BallConfig ball;
    bool ballGiven = false;
    const bool layerGiven = args.contains(QStringLiteral("--layer"));
    if (!TakeBallOptions(args, &ball, &ballGiven)) return 2;
    if (args.size() != 1) {
        PrintErr(QCoreApplication::translate(
            "CompileCommands",
            "usage: glowdeck-cli inspect FILE [--png OUT.png] [--ball 1|2] [--layer inner|outer]"));
        return 2;
    }
    // Far more than the ball holds; a FIFO or a device is refused by what it is.
    QString why;
    const std::optional<QByteArray> read = ReadWholeFile(args[0], 64 << 20, &why);
    if (!read) {
        PrintErr(QCoreApplication::translate("CliSupport", "cannot read %1: %2").arg(args[0], why));
        return 1;
    }
    const QByteArray& data = *read;
    DataIndex index;
    QStringList problems;
    QString error;
    const int columnBytes = (ballGiven || layerGiven) ? ball.ColumnBytes() : 0;
    if (!ReadDataIndex(data, columnBytes, &index, &problems, &error)) {
        PrintErr(QStringLiteral("%1: %2").arg(args[0], error));
        return 1;
    }
    const QString format = index.columnBytes == 14   ? QStringLiteral("14 bytes (inner layer)")
                           : index.columnBytes == 21 ? QStringLiteral("21 bytes")
                                                     : QStringLiteral("unknown size");
    PrintOut(QStringLiteral("%1: %2 bytes, index %3 bytes, %4 groups, %5 columns of %6")
                 .arg(args[0])
                 .arg(data.size())
                 .arg(index.indexLength)
                 .arg(index.groups.size())
                 .arg(index.totalColumns)
                 .arg(format));
    for (size_t g = 0; g < index.groups.size(); ++g) {
        const auto& group = index.groups[g];
        PrintOut(QStringLiteral("group %1: header at %2, data at %3, %4 columns, %5 animations")
                     .arg(g + 1)
                     .arg(group.headerOffset)
                     .arg(group.dataOffset)
                     .arg(group.columns)
                     .arg(group.animations.size()));
        for (size_t k = 0; k < group.animations.size(); ++k) {
            const auto& a = group.animations[k];
            PrintOut(QStringLiteral("  animation %1: data at %2, %3 frames, %4 columns, loop %5")
                         .arg(k + 1)
                         .arg(a.dataOffset)
                         .arg(a.frames.size())
                         .arg(a.columnSum)
                         .arg(a.loop));
            for (size_t f = 0; f < a.frames.size(); ++f)
                PrintOut(QStringLiteral("    frame %1: %2 columns, %3 ms")
                             .arg(f + 1)
                             .arg(a.frames[f].columns)
                             .arg(a.frames[f].delay));
        }
    }
    for (const QString& p : problems) PrintOut(QStringLiteral("problem: ") + p);
    if (problems.isEmpty())
        PrintOut(QStringLiteral("consistent: every offset and the length agree with the index"));

    if (png) {
        if (!writePicture(data, index, ball.ballType, *png)) {
            PrintErr(QCoreApplication::translate("CompileCommands", "cannot write %1").arg(*png));
            return 1;
        }
        PrintOut(QCoreApplication::translate("CompileCommands", "picture written to %1").arg(*png));
    }
    return problems.isEmpty() ? 0 : 1;
}

}  // namespace glowdeck
