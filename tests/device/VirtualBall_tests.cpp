// SPDX-License-Identifier: GPL-3.0-or-later
// Transfers through a pseudo-terminal into the virtual ball.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "device/DownloadFrames.h"
#include "device/SendController.h"
#include "device/SerialPort.h"
#include "device/VirtualBall.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

QByteArray FileOf(int size) {
    QByteArray data(size, '\0');
    for (int k = 0; k < size; ++k) data[k] = static_cast<char>((k * 131 + size) & 0xFF);
    return data;
}

// Sends `file` with the init wait's ticks counted without waiting for them.
struct Transfer {
    Transfer() : port(&sink), controller(port, sink, {}) {}
    bool Run(const BallConfig& ball, const QString& file) {
        controller.sendFilePath = file;
        if (!controller.PressSend(ball)) return false;
        controller.Worker().Wait();
        while (!controller.Tick()) {
        }
        if (!controller.StartDataPhase()) return false;
        controller.Worker().Wait();
        return controller.Worker().EndWritten();
    }
    RecordingSink sink;
    CSerialPort port;
    CSendController controller;
};

}  // namespace

TEST(VirtualBall, ReceivesEveryConfigurationByteExact) {
    TempDir dir;
    const struct {
        BallConfig ball;
        int size;
    } cases[] = {{{1, 0}, 600}, {{2, 1}, 498}, {{2, 0}, 1}};
    for (const auto& c : cases) {
        CVirtualBall ball;
        QString error;
        ASSERT_TRUE(ball.Open(&error)) << error.toStdString();
        BallReport report;
        std::thread receiver([&] { report = ball.Receive(10, 5); });
        Transfer transfer;
        ASSERT_EQ(transfer.port.Open(ball.DevicePath(), 57600, 'N', 8, 1, 512), 1);
        EXPECT_TRUE(transfer.Run(c.ball, dir.Write("data.bin", FileOf(c.size))));
        receiver.join();
        EXPECT_EQ(report.data, FileOf(c.size));
        EXPECT_EQ(report.ball.ballType, c.ball.ballType);
        EXPECT_EQ(report.ball.layer, c.ball.layer);
        EXPECT_EQ(report.packets, (c.size + 248) / 249);
        // The ticks were not waited for, so only the init wait is short.
        ASSERT_EQ(report.pacing.size(), 1);
        EXPECT_TRUE(report.pacing[0].contains(QStringLiteral("init command")));
        EXPECT_TRUE(transfer.sink.texts.isEmpty());
    }
}

TEST(VirtualBall, FindsWhereAStreamGoesWrong) {
    const struct {
        std::vector<std::vector<std::uint8_t>> blocks;
        const char* expected;
    } cases[] = {
        {{{0x01, 0x02, 0x03}}, "init command"},
        {{{0xA6, 0x55, 0xAA}, frames::Packet(2, reinterpret_cast<const std::uint8_t*>("ab"), 2)},
         "sequence 2, expected 1"},
        {{{0xA6, 0x55, 0xAA}, {0xA3, 0x01, 0x00, 0x01, 0x41, 0x00, 0x00}}, "CRC"},
        {{{0xA6, 0x55, 0xAA, 0x02}, {0x00}}, "expected a packet"},
    };
    for (const auto& c : cases) {
        CVirtualBall ball;
        ASSERT_TRUE(ball.Open(nullptr));
        BallReport report;
        std::thread receiver([&] { report = ball.Receive(5, 1); });
        CSerialPort port;
        ASSERT_EQ(port.Open(ball.DevicePath(), 57600, 'N', 8, 1, 512), 1);
        for (const auto& block : c.blocks) {
            port.Write(block.data(), static_cast<int>(block.size()));
            std::this_thread::sleep_for(std::chrono::milliseconds(45));
        }
        receiver.join();
        EXPECT_FALSE(report.complete);
        EXPECT_TRUE(report.failure.contains(QString::fromUtf8(c.expected)))
            << report.failure.toStdString();
    }
}

TEST(VirtualBall, PulledCableEndsTheSendQuickly) {
    TempDir dir;
    CVirtualBall ball;
    ASSERT_TRUE(ball.Open(nullptr));
    std::thread receiver([&] { ball.Receive(10, 5, [](int packet) { return packet < 2; }); });
    Transfer transfer;
    ASSERT_EQ(transfer.port.Open(ball.DevicePath(), 57600, 'N', 8, 1, 512), 1);
    const QString file = dir.Write("data.bin", FileOf(249 * 40));
    transfer.controller.sendFilePath = file;
    ASSERT_TRUE(transfer.controller.PressSend({1, 0}));
    transfer.controller.Worker().Wait();
    while (!transfer.controller.Tick()) {
    }
    ASSERT_TRUE(transfer.controller.StartDataPhase());
    receiver.join();
    const auto pulled = std::chrono::steady_clock::now();
    ball.Hangup();
    transfer.controller.Worker().Wait();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - pulled).count();
    EXPECT_LT(seconds, 2.0);
    EXPECT_FALSE(transfer.controller.Worker().EndWritten());
    EXPECT_FALSE(transfer.port.LineUp());
    ASSERT_GE(transfer.sink.texts.size(), 2);  // the write error boxes, once
    EXPECT_TRUE(transfer.sink.texts.last().contains(QStringLiteral("WriteFile()")));
    EXPECT_LE(transfer.sink.texts.size(), 2);
}
