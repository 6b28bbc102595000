// SPDX-License-Identifier: GPL-3.0-or-later
// glowdeck-cli commands on a project of 3000 one-column intervals, beside
// their floors, measured side by side in one run (each the best of several
// runs, taken in turns so that a busy machine slows both alike):
//   set-interval on it vs. the same command on a 10-item project,
//   compile with nothing changed vs. `list` of it,
//   a cold compile (empty column cache) vs. `compile --no-cache`.
#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <vector>

#include "base/MessageSink.h"
#include "bench/Must.h"
#include "model/GlowdeckDoc.h"

using namespace glowdeck;

namespace {

QString Cli() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/glowdeck-cli");
}

// What one run took: wall clock and the processor time of the process
// (user and system), both in milliseconds.
struct Cost {
    double wall = 1e30, cpu = 1e30;
};

double CpuOfChildren() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// One run of glowdeck-cli with `arguments`; `environment` adds to the bench's own.
Cost Run(const QStringList& arguments, const QStringList& environment = {}) {
    QProcess process;
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& pair : environment)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        process.setProcessEnvironment(env);
    }
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    const double cpuBefore = CpuOfChildren();
    QElapsedTimer timer;
    timer.start();
    process.start(Cli(), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        std::fprintf(stderr, "glowdeck-cli %s failed\n",
                     qPrintable(arguments.join(QLatin1Char(' '))));
        std::exit(1);
    }
    const double wall = timer.nsecsElapsed() / 1e6;
    return {wall, CpuOfChildren() - cpuBefore};
}

// The best of `rounds` turns of `a` and `b`, run alternately.
std::pair<Cost, Cost> BestInTurns(int rounds, const std::function<Cost()>& a,
                                  const std::function<Cost()>& b) {
    Cost bestA, bestB;
    auto keep = [](Cost& best, const Cost& run) {
        best.wall = std::min(best.wall, run.wall);
        best.cpu = std::min(best.cpu, run.cpu);
    };
    for (int r = 0; r < rounds; ++r) {
        keep(bestA, a());
        keep(bestB, b());
    }
    return {bestA, bestB};
}

// The wall-clock ratio is the target; the processor-time ratio beside it
// says the same on a machine so busy that waiting for a core dominates.
void Report(const char* what, const Cost& cost, const char* floor, const Cost& floorCost,
            double target) {
    std::printf(
        "%-28s %7.1f ms   %-20s %7.1f ms   ratio %5.2f (target <= %.1f)"
        "   cpu %6.1f / %6.1f ms, ratio %5.2f\n",
        what, cost.wall, floor, floorCost.wall, cost.wall / floorCost.wall, target, cost.cpu,
        floorCost.cpu, cost.cpu / floorCost.cpu);
}

// A project of `groups` × `perGroup` one-column intervals, as the program
// makes them (built in memory and saved once: adding them one by one would
// save the growing project 3000 times).
QString MakeProject(const QString& root, const QString& name, int groups, int perGroup) {
    StderrMessageSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetProjectRoot(root);
    Must(doc.CreateProjectNamed(name));
    Must(doc.NewInterval(1, QStringLiteral("间隔")));
    const QString first =
        doc.SourceImagePathFor(ItemKind::Interval, doc.ProjectFile()->ItemId(0, 0));
    CProjectFile& file = *doc.ProjectFile();
    for (int g = 0; g < groups; ++g) {
        if (g > 0) file.AppendGroup(QStringLiteral("组%1").arg(g + 1));
        for (int i = g == 0 ? 1 : 0; i < perGroup; ++i) {
            const QString id = CProjectFile::GenerateId();
            file.AppendItem(g, ItemKind::Interval, QStringLiteral("间隔"), id);
            Must(QFile::copy(first, doc.SourceImagePathFor(ItemKind::Interval, id)),
                 "copying an interval's image");
        }
    }
    Must(doc.SaveProject());
    return doc.ProjectFolder();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // "--make-projects DIR" only makes the two projects in DIR (for profiling
    // one command on them) and stops.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--make-projects")) {
        MakeProject(arguments[2], QStringLiteral("small"), 1, 10);
        MakeProject(arguments[2], QStringLiteral("large"), 10, 300);
        return 0;
    }
    QTemporaryDir dir;
    const QString small = MakeProject(dir.path(), QStringLiteral("small"), 1, 10);
    const QString large = MakeProject(dir.path(), QStringLiteral("large"), 10, 300);
    const QString cache = dir.filePath(QStringLiteral("cache"));
    const QStringList env{QStringLiteral("XDG_CACHE_HOME=") + cache,
                          QStringLiteral("GLOWDECK_LOCK_WAIT=60")};
    std::printf("glowdeck-cli on 3000 one-column intervals (10 groups of 300)\n");

    int length = 1;
    const auto [editLarge, editSmall] = BestInTurns(
        15,
        [&] {
            length = length % 300 + 1;
            return Run({QStringLiteral("set-interval"), large, QStringLiteral("5"),
                        QStringLiteral("150"), QStringLiteral("--length"), QString::number(length)},
                       env);
        },
        [&] {
            return Run({QStringLiteral("set-interval"), small, QStringLiteral("1"),
                        QStringLiteral("5"), QStringLiteral("--length"), QString::number(length)},
                       env);
        });
    Report("set-interval, 3000 items", editLarge, "the same, 10 items", editSmall, 1.3);

    const auto [cold, noCache] = BestInTurns(
        7,
        [&] {
            QDir(cache).removeRecursively();
            return Run({QStringLiteral("compile"), large}, env);
        },
        [&] {
            return Run({QStringLiteral("compile"), large, QStringLiteral("--no-cache")}, env);
        });
    Report("compile, empty column cache", cold, "compile --no-cache", noCache, 1.0);

    Run({QStringLiteral("compile"), large}, env);
    const auto [again, list] = BestInTurns(
        15,
        [&] {
            return Run({QStringLiteral("compile"), large}, env);
        },
        [&] {
            return Run({QStringLiteral("list"), large}, env);
        });
    Report("compile, nothing changed", again, "list", list, 1.5);
    return 0;
}
