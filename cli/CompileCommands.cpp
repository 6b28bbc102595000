// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CompileCommands.h"

#include <QCoreApplication>
#include <QPainter>

#include "base/MessageSink.h"
#include "base/RegularFile.h"
#include "cli/CliProgress.h"
#include "cli/CliSupport.h"
#include "cli/ReadCommands.h"
#include "compile/ColumnCache.h"
#include "compile/CompileStamp.h"
#include "compile/DataFileReader.h"
#include "compile/ProjectCompiler.h"
#include "led/LedUnpacker.h"
#include "model/GlowdeckDoc.h"
#include "model/ProjectLimits.h"

namespace glowdeck {

namespace {

QString Share(std::uint32_t bytes) {
    return QString::number(100.0 * bytes / MaxTotalDataBytes, 'f', 1) + QLatin1Char('%');
}

// One strip per group, 56 rows each with a gap of 4, as wide as the widest group.
QImage RenderGroups(const QByteArray& data, const DataIndex& index, LedTable table) {
    int width = 1;
    for (const auto& g : index.groups) width = std::max(width, g.columns);
    const int gap = 4;
    const int height =
        std::max<int>(1, static_cast<int>(index.groups.size()) * (LedRows + gap) - gap);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 40, 40));
    QPainter painter(&image);
    int y = 0;
    for (const auto& g : index.groups) {
        painter.drawImage(0, y, UnpackColumns(data, g.dataOffset, g.columns, table));
        y += LedRows + gap;
    }
    return image;
}

}  // namespace

int RunCompile(const QStringList& arguments) {
    QStringList args = arguments;
    BallConfig ball;
    if (!TakeBallOptions(args, &ball)) return 2;
    const bool noCache = args.removeAll(QStringLiteral("--no-cache")) > 0;
    if (args.size() != 1) {
        PrintErr(QCoreApplication::translate(
            "CompileCommands",
            "usage: glowdeck-cli compile PROJECT [--ball 1|2] [--layer inner|outer] [--no-cache]"));
        return 2;
    }
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    if (!OpenProjectForCli(doc, args[0])) return 1;
    CProjectCompiler compiler(doc, messages);
    // Items unchanged since an earlier compile are taken from the column cache.
    const QString cacheFolder = noCache ? QString() : CColumnCache::DefaultFolder();
    compiler.SetCacheFolder(cacheFolder);
    // What this compile reads, looked at before it reads it: a source that
    // changes while it runs makes the next compile a full one again.
    CompileStamp stamp;
    if (!cacheFolder.isEmpty())
        if (const auto bytes = ReadWholeFile(doc.ProjectFilePath(), MaxProjectFileBytes, nullptr))
            stamp.fingerprint =
                CompileStamp::Fingerprint(*doc.ProjectFile(), *bytes, doc.ImagesFolder(), ball);
    CompileSummary summary;
    CliProgress progress(QStringLiteral("compile"), CliProgress::StderrIsTerminal());
    const bool compiled = compiler.Compile(
        ball, [&](int value, int maximum) { progress.Update(value, maximum); }, &summary);
    progress.Finish();
    if (!compiled) return 1;
    if (!stamp.fingerprint.isEmpty()) {
        stamp.groups = summary.groups;
        stamp.items = summary.items;
        stamp.columns = summary.columns;
        stamp.bytes = summary.bytes;
        (void)stamp.Write(CompileStamp::PathFor(cacheFolder, doc.ProjectFolder()),
                          doc.DataFilePath());
    }
    PrintOut(
        QCoreApplication::translate(
            "CompileCommands",
            "compiled %1: %2 groups, %3 items, %4 columns, %5 bytes (%6 of the ball's %7 bytes)")
            .arg(doc.DataFilePath())
            .arg(summary.groups)
            .arg(summary.items)
            .arg(summary.columns)
            .arg(summary.bytes)
            .arg(Share(summary.bytes))
            .arg(MaxTotalDataBytes));
    return 0;
}

int RunInspect(const QStringList& arguments) {
    return InspectDataFile(arguments, [](const QByteArray& data, const DataIndex& index,
                                         int ballType, const QString& path) {
        const LedTable table = index.columnBytes == 14 ? LedTable::Inner
                               : ballType == 2         ? LedTable::Outer
                                                       : LedTable::Single;
        return RenderGroups(data, index, table).save(path, "PNG");
    });
}

}  // namespace glowdeck
