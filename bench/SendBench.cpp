// SPDX-License-Identifier: GPL-3.0-or-later
// A 500000-byte file sent to the virtual ball over a pseudo-terminal, with
// the protocol's real timing. Reports the wall time against the protocol's
// own minimum (the init wait of nine ticks plus 40 ms after every block and
// 20 ms more before the short packet; a pseudo-terminal has no line time) and
// the CPU time used by sender and ball together. Target: within 2 % of the
// minimum, CPU near idle.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <thread>

#include "base/MessageSink.h"
#include "device/DownloadFrames.h"
#include "device/SendController.h"
#include "device/SerialPort.h"
#include "device/VirtualBall.h"

using namespace glowdeck;
using Clock = std::chrono::steady_clock;

namespace {
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int size = 500000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.bin"));
    QByteArray data(size, '\0');
    for (int k = 0; k < size; ++k) data[k] = static_cast<char>((k * 7) & 0xFF);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(data);
    file.close();

    CVirtualBall ball;
    QString error;
    if (!ball.Open(&error)) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", error.toUtf8().constData());
        return 1;
    }
    BallReport report;
    std::thread receiver([&] { report = ball.Receive(30, 15); });

    StderrMessageSink messages;
    CSerialPort port(&messages);
    port.Open(ball.DevicePath(), 57600, 'N', 8, 1, 512);
    CSendController controller(port, messages, {});
    controller.sendFilePath = path;

    const double cpuStart = CpuSeconds();
    const auto start = Clock::now();
    controller.PressSend({1, 0});
    // The one-second ticks, as the window's timer runs them.
    auto next = start;
    for (;;) {
        next += std::chrono::seconds(1);
        std::this_thread::sleep_until(next);
        if (controller.Tick()) break;
    }
    controller.Worker().Wait();
    controller.StartDataPhase();
    controller.Worker().Wait();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuStart;
    receiver.join();

    const frames::Plan plan = frames::PlanFor(size);
    const int blocks =
        plan.fullPackets + (plan.rest > 0 ? 1 : 0) + 1;  // packets and the end command
    const double minimum = 9.0 + (blocks * SendWorker::BlockPauseMs +
                                  (plan.rest > 0 ? SendWorker::ShortPacketPauseMs : 0)) /
                                     1000.0;
    std::printf("sent %d bytes in %d packets: ball says %s (%d bytes, %s)\n", size,
                plan.fullPackets + (plan.rest > 0), report.complete ? "complete" : "FAILED",
                static_cast<int>(report.data.size()),
                report.data == data ? "identical" : "DIFFERENT");
    if (!report.complete) std::printf("ball: %s\n", report.failure.toUtf8().constData());
    std::printf("%-28s %8.2f s\n", "wall time", wall);
    std::printf("%-28s %8.2f s   (init wait 9 s + %d blocks x 40 ms + 20 ms)\n", "protocol minimum",
                minimum, blocks);
    std::printf("%-28s %8.2f %%   (target <= 2 %%)\n", "over the minimum",
                100.0 * (wall - minimum) / minimum);
    std::printf("%-28s %8.2f s   (%.2f %% of the wall time)\n", "CPU, sender and ball", cpu,
                100.0 * cpu / wall);
    return report.complete && report.data == data ? 0 : 1;
}
