// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/SendController.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <chrono>
#include <thread>

#include "base/MessageSink.h"
#include "device/SerialLink.h"

namespace glowdeck {

CSendController::CSendController(ISerialLink& link, IMessageSink& messages, SendEvents events,
                                 SendWorker::Pause pause)
    : link_(link), messages_(messages), events_(events), worker_(link, events, std::move(pause)) {}

void CSendController::SetFactoryMode(const QString& programFolder, const BallConfig& ball) {
    factory_ = true;
    sendFilePath = frames::FactoryFile(programFolder, ball);
}

QString CSendController::Caption() const {
    return factory_ ? QCoreApplication::translate("SendController", "恢复出厂文件")
                    : QCoreApplication::translate("SendController", "发送数据");
}

bool CSendController::PressSend(const BallConfig& ball) {
    if (!QFileInfo(sendFilePath).isFile()) {
        messages_.Warn(QCoreApplication::translate("SendController", "还未编译！"));
        return false;
    }
    if (events_.progress) events_.progress(0, 100);
    const std::optional<Bytes> init = frames::InitCommand(ball);
    if (!init) return false;
    if (!link_.IsOpen()) {
        messages_.Warn(QCoreApplication::translate("SendController", "串口未打开"));
        return false;
    }
    phase = SendWorker::PhaseInit;
    worker_.abortRequested = false;
    worker_.Start(phase, *init, sendFilePath);
    if (events_.status)
        events_.status(QCoreApplication::translate("SendController", "初始化设备进程......"));
    if (events_.buttonsEnabled) events_.buttonsEnabled(false);
    tickCount = 0;
    return true;
}

bool CSendController::Tick() {
    ++tickCount;
    if (tickCount > initSeconds) return true;
    if (events_.progress) events_.progress(static_cast<int>(tickCount * 100 / initSeconds), 100);
    return false;
}

bool CSendController::StartDataPhase() {
    if (events_.progress) events_.progress(0, 100);
    if (!link_.IsOpen()) {
        messages_.Warn(QCoreApplication::translate("SendController", "串口未打开"));
        return false;
    }
    phase = SendWorker::PhaseData;
    worker_.Start(phase, {}, sendFilePath);
    if (events_.status)
        events_.status(QCoreApplication::translate("SendController", "发送进程......"));
    if (events_.buttonsEnabled) events_.buttonsEnabled(false);
    return true;
}

void CSendController::Exit() {
    if (worker_.workerRunning) {
        worker_.abortRequested = true;
        // Up to a second for the block in progress; a pass ends sooner.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
        while (worker_.workerRunning && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    worker_.Wait();
}

}  // namespace glowdeck
