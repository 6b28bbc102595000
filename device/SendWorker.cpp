// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/SendWorker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <chrono>

#include "device/SerialLink.h"

namespace glowdeck {

namespace {
template <typename F, typename... A>
void Emit(const F& f, A&&... args) {
    if (f) f(std::forward<A>(args)...);
}

// Opens the file to send when it is a regular file. Opening does not wait
// (a FIFO with no writer would hold the pass for ever).
bool OpenRegularFile(QFile& file, const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}
}  // namespace

SendWorker::SendWorker(ISerialLink& link, SendEvents events, Pause pause)
    : link_(link), events_(std::move(events)), pause_(std::move(pause)) {
    if (!pause_)
        pause_ = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

SendWorker::~SendWorker() {
    abortRequested = true;
    Wait();
}

bool SendWorker::Start(int phase, Bytes initCommand, QString file) {
    bool expected = false;
    if (!workerRunning.compare_exchange_strong(expected, true)) return false;
    if (thread_.joinable()) thread_.join();
    thread_ = std::thread([this, phase, init = std::move(initCommand), file = std::move(file)] {
        Run(phase, init, file);
    });
    return true;
}

void SendWorker::Wait() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

bool SendWorker::WriteBlock(const Bytes& block) {
    const bool written = link_.Write(block.data(), static_cast<int>(block.size()));
    pause_(BlockPauseMs);
    return written;
}

void SendWorker::Run(int phase, const Bytes& initCommand, const QString& file) {
    Emit(events_.refreshTimer, true);
    bool completed = false;
    if (phase == PhaseInit) {
        completed = WriteBlock(initCommand);
        if (!completed)
            Emit(events_.status, QCoreApplication::translate("SendWorker", "发送失败！"));
    } else if (phase == PhaseData) {
        endWritten_ = false;
        completed = SendFile(file);
    }
    Emit(events_.refreshTimer, false);
    const bool aborted = abortRequested.load();
    workerRunning = false;
    if (!aborted) Emit(events_.buttonsEnabled, true);
    Emit(events_.passEnded, phase, completed);
}

bool SendWorker::SendFile(const QString& path) {
    QFile file;
    if (!OpenRegularFile(file, path)) {
        Emit(events_.message, QCoreApplication::translate("SendWorker", "数据文件未打开"));
        return false;
    }
    const frames::Plan plan = frames::PlanFor(file.size());
    Emit(events_.progress, 0, plan.fullPackets);
    auto failed = [&] {
        // The line is gone (device removed, cable pulled) or stopped taking
        // bytes: stop at once instead of writing the rest into errors. The
        // port has told why.
        Emit(events_.status, QCoreApplication::translate("SendWorker", "发送失败！"));
        return false;
    };
    for (int i = 0; i < plan.fullPackets; ++i) {
        const QByteArray payload = file.read(frames::PayloadBytes);
        if (payload.size() != frames::PayloadBytes) {
            Emit(events_.message, QCoreApplication::translate("SendWorker", "数据文件未打开"));
            return false;
        }
        const Bytes packet = frames::Packet(
            static_cast<std::uint16_t>(i + 1),
            reinterpret_cast<const std::uint8_t*>(payload.constData()), frames::PayloadBytes);
        if (!WriteBlock(packet)) return failed();
        if (abortRequested) return false;
        Emit(events_.progress, i, plan.fullPackets);
        Emit(events_.packet,
             QCoreApplication::translate("SendWorker", "第%1个数据包已发送！").arg(i + 1));
    }
    if (plan.rest > 0) {
        pause_(ShortPacketPauseMs);
        const QByteArray payload = file.read(plan.rest);
        if (payload.size() != plan.rest) {
            Emit(events_.message, QCoreApplication::translate("SendWorker", "数据文件未打开"));
            return false;
        }
        const Bytes packet =
            frames::Packet(static_cast<std::uint16_t>(plan.fullPackets + 1),
                           reinterpret_cast<const std::uint8_t*>(payload.constData()), plan.rest);
        if (!WriteBlock(packet)) return failed();
        if (abortRequested) return false;
    }
    if (!WriteBlock(frames::EndCommand())) return failed();
    endWritten_ = true;
    Emit(events_.status, QCoreApplication::translate("SendWorker", "发送完毕!"));
    Emit(events_.buttonsEnabled, true);
    return true;
}

}  // namespace glowdeck
