// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CompileCommands.h"

#include <QCoreApplication>
#include <QPainter>

#include "base/MessageSink.h"
#include "base/RegularFile.h"
#include "cli/CliProgress.h"
#include "cli/CliSupport.h"
#include "compile/ColumnCache.h"
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
    if (!noCache) compiler.SetCacheFolder(CColumnCache::DefaultFolder());
    CompileSummary summary;
    CliProgress progress(QStringLiteral("compile"), CliProgress::StderrIsTerminal());
    const bool compiled = compiler.Compile(
        ball, [&](int value, int maximum) { progress.Update(value, maximum); }, &summary);
    progress.Finish();
    if (!compiled) return 1;
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
    QStringList args = arguments;
    const std::optional<QString> png = TakeOption(args, QStringLiteral("--png"));
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
        PrintErr(
            QCoreApplication::translate("CompileCommands", "cannot read %1: %2").arg(args[0], why));
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
        const LedTable table = index.columnBytes == 14 ? LedTable::Inner
                               : ball.ballType == 2    ? LedTable::Outer
                                                       : LedTable::Single;
        if (!RenderGroups(data, index, table).save(*png, "PNG")) {
            PrintErr(QCoreApplication::translate("CompileCommands", "cannot write %1").arg(*png));
            return 1;
        }
        PrintOut(QCoreApplication::translate("CompileCommands", "picture written to %1").arg(*png));
    }
    return problems.isEmpty() ? 0 : 1;
}

}  // namespace glowdeck
