// SPDX-License-Identifier: GPL-3.0-or-later
// Compiling a project at the ball's 500000-byte limit, beside decoding every
// source at full size, in one run:
//   10 groups; 156 pictures from 1600 × 1200 JPEGs, three 50-frame GIFs,
//   20 text strips and 100 intervals (about 23740 columns, 498600 bytes).
// Reports the compile time, the full-size decode time, their ratio (target
// at most 0.5) and the compile's peak memory (target at most 200 MB). Then
// compiles the show plain and with every picture and animation dithered,
// alternately, five times each: the ratio of the medians (target at most 1.1).
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "base/Allocator.h"
#include "base/MessageSink.h"
#include "bench/Must.h"
#include "bench/Scene.h"
#include "compile/ProjectCompiler.h"
#include "led/GifWriter.h"
#include "led/ImageCodec.h"
#include "led/TextConverter.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"

using namespace glowdeck;
using Clock = std::chrono::steady_clock;

namespace {

double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the whole process (every thread), in milliseconds: steadier
// than the wall clock on a machine that others share.
double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

long PeakKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

}  // namespace

int main(int argc, char** argv) {
    glowdeck::KeepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    doc.SetProjectRoot(dir.path());
    Must(doc.CreateProjectNamed(QStringLiteral("limit")));
    CProjectFile& file = *doc.ProjectFile();
    for (int g = 2; g <= 10; ++g) Must(doc.NewGroup(QStringLiteral("组%1").arg(g)));

    const auto generate = Clock::now();
    QByteArray jpeg;
    for (int n = 0; n < 156; ++n) {
        const int g = n % 10;
        Must(doc.NewPicture(g + 1, QStringLiteral("图%1").arg(n)));
        const int i = file.ItemCount(g) - 1;
        Must(EncodeImage(Scene(1600, 1200, n),
                         doc.SourceImagePathFor(ItemKind::Picture, file.GetAttr(g, i, "id")),
                         QStringLiteral("image/jpeg")),
             "writing a photograph");
        file.SetInt(g, i, "width", 1600);
        file.SetInt(g, i, "height", 1200);
        file.SetInt(g, i, "length", 74);
    }
    for (int n = 0; n < 3; ++n) {
        const int g = n * 3;
        Must(doc.NewAnimation(g + 1, QStringLiteral("动%1").arg(n)));
        const int i = file.ItemCount(g) - 1;
        std::vector<QImage> frames;
        for (int f = 0; f < 50; ++f) frames.push_back(Scene(400, 300, n * 50 + f));
        QByteArray gif;
        Must(EncodeGif(frames, std::vector<int>(50, 8), 0, &gif), "encoding a GIF");
        QFile out(doc.SourceImagePathFor(ItemKind::Animation, file.GetAttr(g, i, "id")));
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(gif);
        out.close();
        file.SetInt(g, i, "flength", 74);
        file.SetInt(g, i, "framecount", 50);
        file.SetInt(g, i, "length", 74 * 50);
        file.SetIntList(g, i, "interval", std::vector<int>(50, 8));
    }
    int textColumns = 0;
    for (int n = 0; n < 20; ++n) {
        const int g = n % 10;
        Must(doc.NewText(g + 1, QStringLiteral("文%1").arg(n)));
        const int i = file.ItemCount(g) - 1;
        TextRenderParams params;
        params.text = QStringLiteral("彩球%1").arg(n % 10);
        params.fontName = QStringLiteral("宋体");
        params.emSize = 60;
        CTextConverter text;
        Must(text.RenderText(doc.SourceImagePathFor(ItemKind::Text, file.GetAttr(g, i, "id")),
                             params, &messages),
             "rendering a text");
        file.SetInt(g, i, "length", text.Width());
        textColumns += text.Width();
    }
    for (int n = 0; n < 100; ++n) Must(doc.NewInterval(n % 10 + 1, QStringLiteral("隔")));
    Must(doc.SaveProject());
    doc.RecomputeTotalDataBytes();
    std::printf(
        "project: 10 groups, 156 pictures (1600x1200 JPEG), 3 GIFs of 50 frames (400x300),\n"
        "         20 text strips (%d columns), 100 intervals: %u bytes by the account (generated "
        "in %.0f ms)\n",
        textColumns, doc.TotalDataBytes(), Since(generate));

    // Decode every source at full size.
    doc.RebuildPathTables();
    const auto decodeStart = Clock::now();
    long long pixels = 0;
    for (int g = 0; g < file.GroupCount(); ++g)
        for (int i = 0; i < file.ItemCount(g); ++i) {
            QImageReader reader(doc.SourceImagePath(g, i));
            reader.setDecideFormatFromContent(true);
            for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read()) {
                pixels += static_cast<long long>(frame.width()) * frame.height();
                if (!reader.canRead()) break;
            }
        }
    const double decode = Since(decodeStart);

    ResetPeak();
    const long before = PeakKiB();
    CProjectCompiler compiler(doc, messages);
    CompileSummary summary;
    const auto compileStart = Clock::now();
    const bool ok = compiler.Compile({1, 0}, {}, &summary);
    const double compile = Since(compileStart);
    const long peak = PeakKiB();

    std::printf("compile: %s, %d items, %u columns, %u bytes\n", ok ? "ok" : "FAILED",
                summary.items, summary.columns, summary.bytes);
    std::printf("%-36s %9.0f ms\n", "compile (both passes)", compile);
    std::printf("%-36s %9.0f ms   (%lld pixels)\n", "decode every source at full size", decode,
                pixels);
    std::printf("%-36s %9.2f     (target <= 0.50)\n", "ratio compile / decode", compile / decode);
    std::printf("%-36s %9.1f MB  (target <= 200; %.1f MB before the compile)\n",
                "peak memory during compile", peak / 1024.0, before / 1024.0);

    // Incremental: a first compile fills the column cache, then one item
    // changes (a new threshold) and the project is compiled again.
    QTemporaryDir cacheDir;
    CProjectCompiler cached(doc, messages);
    cached.SetCacheFolder(cacheDir.path());
    const auto firstStart = Clock::now();
    const bool firstOk = cached.Compile({1, 0});
    const double first = Since(firstStart);
    const QByteArray full = [&] {
        QFile f(doc.DataFilePath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    file.SetInt(0, 0, "r", 40);
    CompileSummary again;
    const auto againStart = Clock::now();
    const bool againOk = cached.Compile({1, 0}, {}, &again);
    const double incremental = Since(againStart);
    QFile changedFile(doc.DataFilePath());
    changedFile.open(QIODevice::ReadOnly);
    const QByteArray changedBytes = changedFile.readAll();
    CProjectCompiler plain(doc, messages);
    plain.Compile({1, 0});
    QFile plainFile(doc.DataFilePath());
    plainFile.open(QIODevice::ReadOnly);
    const bool identical = plainFile.readAll() == changedBytes;
    std::printf("%-36s %9.0f ms   (cache empty: converts and stores every item)\n",
                "compile with the column cache", first);
    std::printf("%-36s %9.0f ms   (%d converted, %d reused; %s a full compile)\n",
                "again after one item changed", incremental, again.converted, again.reused,
                identical ? "byte-identical to" : "DIFFERS from");
    std::printf("%-36s %9.2f     (target <= 0.10)\n", "ratio incremental / first compile",
                incremental / compile);
    (void)full;
    const bool incrementalOk = firstOk && againOk && identical;

    // Plain and dithered, alternately, so that both see the same machine.
    auto setDither = [&](bool on) {
        for (int g = 0; g < file.GroupCount(); ++g)
            for (int i = 0; i < file.ItemCount(g); ++i) item_ops::StoreDither(file, g, i, on);
    };
    std::vector<double> plainCpu, ditherCpu;
    auto timed = [&](bool dither, QByteArray* data) {
        setDither(dither);
        CProjectCompiler run(doc, messages);
        const auto start = Clock::now();
        const double cpuStart = CpuMs();
        const bool done = run.Compile({1, 0});
        (dither ? ditherCpu : plainCpu).push_back(CpuMs() - cpuStart);
        const double ms = Since(start);
        QFile out(doc.DataFilePath());
        *data = done && out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
        return ms;
    };
    std::vector<double> plainRuns, ditherRuns;
    QByteArray plainData, ditherData;
    for (int run = 0; run < 5; ++run) {
        // Either goes first in turn: neither always finds the caches warm.
        if (run % 2 == 0) plainRuns.push_back(timed(false, &plainData));
        ditherRuns.push_back(timed(true, &ditherData));
        if (run % 2 == 1) plainRuns.push_back(timed(false, &plainData));
    }
    setDither(false);
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const bool sameShape =
        !ditherData.isEmpty() && ditherData.size() == plainData.size() && ditherData != plainData;
    std::printf("%-36s %9.0f ms   (median of 5; CPU %.0f ms)\n", "compile plain", median(plainRuns),
                median(plainCpu));
    std::printf("%-36s %9.0f ms   (median of 5; CPU %.0f ms; %s)\n",
                "compile, pictures and GIFs dithered", median(ditherRuns), median(ditherCpu),
                sameShape ? "same size, other columns" : "UNEXPECTED data.bin");
    std::printf("%-36s %9.2f     (target <= 1.10; CPU time %.2f)\n", "ratio dithered / plain",
                median(ditherRuns) / median(plainRuns), median(ditherCpu) / median(plainCpu));
    return ok && sameShape && incrementalOk ? 0 : 1;
}
