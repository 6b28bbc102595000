// SPDX-License-Identifier: GPL-3.0-or-later
// Project file costs beside their floor, measured side by side in one run:
//   load + walk of a full project vs. reading its bytes,
//   atomic save vs. a plain write of the same bytes,
//   adding an item (with its placeholder) vs. saving the project alone.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>

#include "base/MessageSink.h"
#include "bench/Must.h"
#include "model/GlowdeckDoc.h"
#include "model/ProjectFile.h"

using namespace glowdeck;
using Clock = std::chrono::steady_clock;

namespace {

double BestOf(int rounds, const std::function<void()>& work) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        work();
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

void Report(const char* what, double ms, const char* floor, double floorMs) {
    std::printf("%-34s %9.3f ms   %-26s %9.3f ms   ratio %6.2f\n", what, ms, floor, floorMs,
                ms / floorMs);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Index.prj"));

    CProjectFile full(path, QStringLiteral("bench"));
    for (int g = 0; g < 10; ++g) {
        full.AppendGroup(QStringLiteral("组%1").arg(g));
        for (int i = 0; i < 300; ++i)
            full.AppendItem(g, static_cast<ItemKind>(i % 4), QStringLiteral("元素%1").arg(i),
                            CProjectFile::GenerateId());
    }
    Must(full.Save(), "saving the project");
    const QByteArray bytes = full.Serialize();
    std::printf("full project: 10 groups x 300 items, %lld bytes\n",
                static_cast<long long>(bytes.size()));

    const double read = BestOf(20, [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        volatile auto n = f.readAll().size();
        (void)n;
    });
    const double load = BestOf(20, [&] {
        CProjectFile file(path);
        long long sum = 0;
        for (int g = 0; g < file.GroupCount(); ++g)
            for (int i = 0; i < file.ItemCount(g); ++i) sum += file.GetInt(g, i, "length");
        volatile long long keep = sum;
        (void)keep;
    });
    Report("load + read every length", load, "read the bytes", read);

    // Ten times the items cost ten times as much: the largest file that
    // opens (the same items in 100 groups) against the full project, per item.
    const QString hugePath = dir.filePath(QStringLiteral("Huge.prj"));
    {
        CProjectFile huge(hugePath, QStringLiteral("bench"));
        for (int g = 0; g < 100; ++g) {
            huge.AppendGroup(QStringLiteral("组%1").arg(g));
            for (int i = 0; i < 300; ++i)
                huge.AppendItem(g, static_cast<ItemKind>(i % 4), QStringLiteral("元素%1").arg(i),
                                CProjectFile::GenerateId());
        }
        Must(huge.Save(), "saving the large project");
    }
    const double loadHuge = BestOf(5, [&] {
        CProjectFile file(hugePath);
        long long sum = 0;
        for (int g = 0; g < file.GroupCount(); ++g)
            for (int i = 0; i < file.ItemCount(g); ++i) sum += file.GetInt(g, i, "length");
        volatile long long keep = sum;
        (void)keep;
    });
    Report("30000 items, per 3000", loadHuge / 10, "3000 items", load);

    const QString plainPath = dir.filePath(QStringLiteral("plain.prj"));
    const double plain = BestOf(20, [&] {
        QFile f(plainPath);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    });
    const double atomic = BestOf(20, [&] { Must(full.Save(), "saving the project"); });
    Report("atomic save", atomic, "plain write", plain);

    StderrMessageSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetProjectRoot(dir.path());
    Must(doc.CreateProjectNamed(QStringLiteral("p")));
    const double saveOnly = BestOf(20, [&] { Must(doc.SaveProject()); });
    const double addPicture = BestOf(20, [&] { Must(doc.NewPicture(1, QStringLiteral("图"))); });
    Report("add picture (placeholder+save)", addPicture, "save alone", saveOnly);
    return 0;
}
