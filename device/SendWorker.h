// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

#include "device/DownloadFrames.h"

namespace glowdeck {

class ISerialLink;

// What a transfer tells its window. The worker calls these on its own thread:
// a window forwards them to its thread (queued signals) and never lets the
// worker touch a widget.
struct SendEvents {
    std::function<void(int value, int maximum)> progress;
    std::function<void(const QString&)> status;
    std::function<void(const QString&)> packet;   // "第%d个数据包已发送！"
    std::function<void(bool)> buttonsEnabled;     // send, choose-file, erase
    std::function<void(const QString&)> message;  // a message box, caption "Orbilux"
    std::function<void(bool)> refreshTimer;       // the 300 ms refresh while a pass runs
    std::function<void(int phase, bool completed)> passEnded;
};

// One pass of the download protocol per phase, on its own thread: the init
// command (phase 13), or the file in numbered CRC packets and the end command
// (phase 21). Every block is followed by a 40 ms pause, the short last packet
// by 20 ms more before it.
class SendWorker {
public:
    static constexpr int PhaseInit = 13;
    static constexpr int PhaseData = 21;
    static constexpr int BlockPauseMs = 40;
    static constexpr int ShortPacketPauseMs = 20;
    using Pause = std::function<void(int ms)>;

    SendWorker(ISerialLink& link, SendEvents events, Pause pause = {});
    ~SendWorker();
    SendWorker(const SendWorker&) = delete;
    SendWorker& operator=(const SendWorker&) = delete;

    // Starts a pass; returns false at once when one is running.
    bool Start(int phase, Bytes initCommand, QString file);
    // Waits for the pass in progress to end.
    void Wait();
    // True when the last data pass wrote the end command.
    bool EndWritten() const { return endWritten_.load(); }

    std::atomic<bool> workerRunning{false};
    std::atomic<bool> abortRequested{false};

private:
    void Run(int phase, const Bytes& initCommand, const QString& file);
    bool WriteBlock(const Bytes& block);  // write + pause
    bool SendFile(const QString& file);

    ISerialLink& link_;
    SendEvents events_;
    Pause pause_;
    std::thread thread_;
    std::atomic<bool> endWritten_{false};
};

}  // namespace glowdeck
