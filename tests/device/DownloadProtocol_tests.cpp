// SPDX-License-Identifier: GPL-3.0-or-later
// The download protocol's bytes and pauses, without a line.
#include <gtest/gtest.h>

#include <QFile>

#include "device/Crc16.h"
#include "device/DownloadFrames.h"
#include "device/SendController.h"
#include "device/SendWorker.h"
#include "support/RecordingLink.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;
using Block = std::vector<std::uint8_t>;

namespace {

QByteArray FileOf(int size) {
    QByteArray data(size, '\0');
    for (int k = 0; k < size; ++k) data[k] = static_cast<char>((k * 31 + 7) & 0xFF);
    return data;
}

// Runs the data pass over a file of `size` bytes; returns the link's timeline.
struct DataPass {
    explicit DataPass(int size) : worker(link, {}, [this](int ms) { link.Pause(ms); }) {
        path = dir.Write("data.bin", FileOf(size));
    }
    bool Run() {
        EXPECT_TRUE(worker.Start(SendWorker::PhaseData, {}, path));
        worker.Wait();
        return worker.EndWritten();
    }
    TempDir dir;
    QString path;
    RecordingLink link;
    SendWorker worker;
};

}  // namespace

TEST(Crc16, ModbusCheckValues) {
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(Crc16(abc, 3), 0x5749);
    EXPECT_EQ(Crc16(abc, 0), 0xFFFF);
    const std::uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc16(digits, 9), 0x4B37);
}

TEST(Frames, InitCommandsPerBall) {
    EXPECT_EQ(frames::InitCommand({1, 0}), (Block{0xA6, 0x55, 0xAA}));
    EXPECT_EQ(frames::InitCommand({1, 1}), (Block{0xA6, 0x55, 0xAA}));
    EXPECT_EQ(frames::InitCommand({2, 1}), (Block{0xA6, 0x55, 0xAA, 0x02}));
    EXPECT_EQ(frames::InitCommand({2, 0}), (Block{0xA6, 0x55, 0xAA, 0x01}));
    EXPECT_FALSE(frames::InitCommand({0, 0}).has_value());
    EXPECT_EQ(frames::EndCommand(), (Block{0xA3, 0xFF, 0xFF}));
}

TEST(Frames, PacketLayout) {
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    const Block packet = frames::Packet(0x0102, abc, 3);
    ASSERT_EQ(packet.size(), 9u);
    EXPECT_EQ(Block(packet.begin(), packet.begin() + 7),
              (Block{0xA3, 0x02, 0x01, 0x03, 'a', 'b', 'c'}));
    const std::uint16_t crc = Crc16(packet.data(), 7);
    EXPECT_EQ(packet[7], crc & 0xFF);
    EXPECT_EQ(packet[8], crc >> 8);
}

TEST(Frames, FactoryFiles) {
    EXPECT_EQ(frames::FactoryFile(QStringLiteral("/opt/g"), {1, 1}),
              QStringLiteral("/opt/g/factory.bin"));
    EXPECT_EQ(frames::FactoryFile(QStringLiteral("/opt/g"), {2, 1}),
              QStringLiteral("/opt/g/factory2.bin"));
    EXPECT_EQ(frames::FactoryFile(QStringLiteral("/opt/g"), {2, 0}),
              QStringLiteral("/opt/g/factory1.bin"));
    EXPECT_EQ(frames::FactoryFile(QStringLiteral("/opt/g"), {0, 0}),
              QStringLiteral("/opt/g/factory.bin"));
}

TEST(DataPhase, EmptyFileSendsOnlyTheEndCommand) {
    DataPass pass(0);
    ASSERT_TRUE(pass.Run());
    ASSERT_EQ(pass.link.timeline.size(), 2u);
    EXPECT_EQ(pass.link.timeline[0].bytes, frames::EndCommand());
    EXPECT_EQ(pass.link.timeline[1].pauseMs, 40);
}

TEST(DataPhase, ExactlyOneFullPacket) {
    DataPass pass(249);
    ASSERT_TRUE(pass.Run());
    const auto blocks = pass.link.Blocks();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].size(), 255u);
    EXPECT_EQ(Block(blocks[0].begin(), blocks[0].begin() + 4), (Block{0xA3, 0x01, 0x00, 0xF9}));
    EXPECT_EQ(blocks[1], frames::EndCommand());
}

TEST(DataPhase, ShortPacketAfterTwentyMoreMilliseconds) {
    DataPass pass(250);
    ASSERT_TRUE(pass.Run());
    const auto& t = pass.link.timeline;
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(t[0].bytes.size(), 255u);
    EXPECT_EQ(t[1].pauseMs, 40);
    EXPECT_EQ(t[2].pauseMs, 20);
    const QByteArray file = FileOf(250);
    const std::uint8_t last = static_cast<std::uint8_t>(file[249]);
    const Block head{0xA3, 0x02, 0x00, 0x01, last};
    ASSERT_EQ(t[3].bytes.size(), 7u);
    EXPECT_EQ(Block(t[3].bytes.begin(), t[3].bytes.begin() + 5), head);
    const std::uint16_t crc = Crc16(head.data(), 5);
    EXPECT_EQ(t[3].bytes[5], crc & 0xFF);
    EXPECT_EQ(t[3].bytes[6], crc >> 8);
    EXPECT_EQ(t[4].pauseMs, 40);
    EXPECT_EQ(t[5].bytes, frames::EndCommand());
    EXPECT_EQ(t[6].pauseMs, 40);
}

TEST(DataPhase, LongFileSendsEveryByteInOrder) {
    DataPass pass(70000);
    ASSERT_TRUE(pass.Run());
    const auto blocks = pass.link.Blocks();
    ASSERT_EQ(blocks.size(), 281u + 1 + 1);  // 281 full, one short of 31 bytes, the end
    QByteArray received;
    for (size_t k = 0; k + 1 < blocks.size(); ++k) {
        const Block& b = blocks[k];
        const int sequence = b[1] | (b[2] << 8);
        ASSERT_EQ(sequence, static_cast<int>(k + 1));
        ASSERT_EQ(b.size(), static_cast<size_t>(b[3]) + 6);
        ASSERT_EQ(Crc16(b.data(), static_cast<std::uint8_t>(b[3] + 4)),
                  b[b.size() - 2] | (b[b.size() - 1] << 8));
        received.append(reinterpret_cast<const char*>(b.data() + 4), b[3]);
    }
    EXPECT_EQ(blocks[281][3], 31);
    EXPECT_EQ(received, FileOf(70000));
    int pauses = 0;
    for (const auto& e : pass.link.timeline) pauses += e.pauseMs > 0 ? e.pauseMs : 0;
    EXPECT_EQ(pauses, 283 * 40 + 20);
}

TEST(DataPhase, AbortStopsAfterTheBlockInProgressWithoutEndCommand) {
    DataPass pass(249 * 10);
    pass.link.onWrite = [&](int block) {
        if (block == 3) pass.worker.abortRequested = true;
        return true;
    };
    EXPECT_FALSE(pass.Run());
    const auto blocks = pass.link.Blocks();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_NE(blocks.back(), frames::EndCommand());
}

TEST(DataPhase, LineFailureEndsThePassAtOnce) {
    DataPass pass(249 * 10);
    std::vector<QString> statuses;
    SendEvents events;
    events.status = [&](const QString& s) { statuses.push_back(s); };
    SendWorker worker(pass.link, events, [&](int ms) { pass.link.Pause(ms); });
    pass.link.onWrite = [](int block) { return block < 4; };
    ASSERT_TRUE(worker.Start(SendWorker::PhaseData, {}, pass.path));
    worker.Wait();
    EXPECT_FALSE(worker.EndWritten());
    EXPECT_EQ(pass.link.Blocks().size(), 4u);
    EXPECT_EQ(statuses, std::vector<QString>{QStringLiteral("发送失败！")});
}

TEST(DataPhase, MissingFileIsReportedAndThePassEnds) {
    RecordingLink link;
    QStringList messages;
    bool enabled = false;
    SendEvents events;
    events.message = [&](const QString& m) { messages << m; };
    events.buttonsEnabled = [&](bool e) { enabled = e; };
    SendWorker worker(link, events, [](int) {});
    ASSERT_TRUE(worker.Start(SendWorker::PhaseData, {}, QStringLiteral("/nonexistent/data.bin")));
    worker.Wait();
    EXPECT_EQ(messages, QStringList{QStringLiteral("数据文件未打开")});
    EXPECT_TRUE(link.Blocks().empty());
    EXPECT_TRUE(enabled);
    EXPECT_FALSE(worker.workerRunning);
}

TEST(DataPhase, ASecondPassWhileOneRunsReturnsAtOnce) {
    RecordingLink link;
    std::atomic<bool> release{false};
    SendWorker worker(link, {}, [&](int) {
        while (!release) std::this_thread::yield();
    });
    ASSERT_TRUE(worker.Start(SendWorker::PhaseInit, {0xA6, 0x55, 0xAA}, QString()));
    EXPECT_FALSE(worker.Start(SendWorker::PhaseInit, {0xA6, 0x55, 0xAA}, QString()));
    release = true;
    worker.Wait();
    EXPECT_EQ(link.Blocks().size(), 1u);
}

TEST(SendController, SendButtonChecksInOrder) {
    TempDir dir;
    RecordingLink link;
    RecordingSink sink;
    CSendController controller(link, sink, {}, [](int) {});
    controller.sendFilePath = dir.File("data.bin");
    EXPECT_FALSE(controller.PressSend({1, 0}));
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("还未编译！")});
    dir.Write("data.bin", "x");
    EXPECT_FALSE(controller.PressSend({0, 0}));  // unknown ball type: silently nothing
    EXPECT_EQ(sink.texts.size(), 1);
    link.open = false;
    EXPECT_FALSE(controller.PressSend({1, 0}));
    EXPECT_EQ(sink.texts.last(), QStringLiteral("串口未打开"));
    link.open = true;
    ASSERT_TRUE(controller.PressSend({2, 0}));
    controller.Worker().Wait();
    EXPECT_EQ(link.Blocks(), std::vector<Block>{(Block{0xA6, 0x55, 0xAA, 0x01})});
}

TEST(SendController, InitWaitCountsEightSecondsAndStartsOnTheNinth) {
    TempDir dir;
    RecordingLink link;
    RecordingSink sink;
    std::vector<int> positions;
    SendEvents events;
    events.progress = [&](int v, int) { positions.push_back(v); };
    CSendController controller(link, sink, events, [](int) {});
    controller.sendFilePath = dir.Write("data.bin", FileOf(300));
    ASSERT_TRUE(controller.PressSend({1, 0}));
    controller.Worker().Wait();
    positions.clear();
    for (int tick = 1; tick <= 8; ++tick) EXPECT_FALSE(controller.Tick()) << tick;
    EXPECT_EQ(positions, (std::vector<int>{12, 25, 37, 50, 62, 75, 87, 100}));
    EXPECT_TRUE(controller.Tick());
    ASSERT_TRUE(controller.StartDataPhase());
    controller.Worker().Wait();
    EXPECT_TRUE(controller.Worker().EndWritten());
    EXPECT_EQ(link.Blocks().size(), 1u + 2 + 1);
}

TEST(SendController, FactoryModeWithoutTheFileSaysNotCompiled) {
    TempDir dir;
    RecordingLink link;
    RecordingSink sink;
    CSendController controller(link, sink, {}, [](int) {});
    controller.SetFactoryMode(dir.Path(), {2, 1});
    EXPECT_EQ(controller.Caption(), QStringLiteral("恢复出厂文件"));
    EXPECT_TRUE(controller.sendFilePath.endsWith(QStringLiteral("/factory2.bin")));
    EXPECT_FALSE(controller.PressSend({2, 1}));
    EXPECT_EQ(sink.texts, QStringList{QStringLiteral("还未编译！")});
}

TEST(SendController, ExitDuringTheDataPhaseStopsWithoutEndCommand) {
    TempDir dir;
    RecordingLink link;
    RecordingSink sink;
    CSendController controller(
        link, sink, {}, [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(2)); });
    controller.sendFilePath = dir.Write("data.bin", FileOf(249 * 400));
    ASSERT_TRUE(controller.PressSend({1, 0}));
    controller.Worker().Wait();
    ASSERT_TRUE(controller.StartDataPhase());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    controller.Exit();
    EXPECT_FALSE(controller.Worker().workerRunning);
    EXPECT_FALSE(controller.Worker().EndWritten());
    const auto blocks = link.Blocks();
    EXPECT_LT(blocks.size(), 300u);
    EXPECT_NE(blocks.back(), frames::EndCommand());
}
