// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "base/BallConfig.h"
#include "device/SendWorker.h"

namespace glowdeck {

class IMessageSink;

// The send window's transfer logic without the window: the send button, the
// eight-second init wait in one-second ticks, the start of the data phase and
// leaving. The window (or the command-line tool) drives the timers.
class CSendController {
public:
    CSendController(ISerialLink& link, IMessageSink& messages, SendEvents events,
                    SendWorker::Pause pause = {});

    // Factory mode: the factory file of the ball from the program's folder.
    void SetFactoryMode(const QString& programFolder, const BallConfig& ball);
    bool FactoryMode() const { return factory_; }
    QString Caption() const;

    // The send button. True when the init pass started: the caller then runs
    // Tick every second.
    bool PressSend(const BallConfig& ball);
    // One second of the init wait. True on the tick after the last second:
    // the caller stops ticking and starts the data phase.
    bool Tick();
    // Starts the data pass; false (with "串口未打开") when the port is closed.
    bool StartDataPhase();
    // Leaving the window: asks a running pass to stop after its block and
    // waits until no pass runs.
    void Exit();

    SendWorker& Worker() { return worker_; }
    QString sendFilePath;
    unsigned initSeconds = 8;
    unsigned tickCount = 0;
    int phase = SendWorker::PhaseInit;

private:
    ISerialLink& link_;
    IMessageSink& messages_;
    SendEvents events_;
    SendWorker worker_;
    bool factory_ = false;
};

}  // namespace glowdeck
