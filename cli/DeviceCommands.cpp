// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DeviceCommands.h"

#include <poll.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/MessageSink.h"
#include "cli/CliProgress.h"
#include "cli/CliSupport.h"
#include "cli/PortAdvice.h"
#include "device/AdapterDetection.h"
#include "device/DownloadFrames.h"
#include "device/PortAccess.h"
#include "device/PortInfo.h"
#include "device/SendController.h"
#include "device/SerialPort.h"
#include "device/VirtualBall.h"
#include "model/ProgramFolders.h"

namespace glowdeck {

namespace {

// What the machine says about a port's device node: its USB vendor where it
// is listed among the serial ports (also through a link such as
// /dev/serial/by-id/...), else a port that is not on USB.
PortInfo DescribePort(const QString& device) {
    std::vector<PortInfo> ports;
    EnumeratePorts(ports, false);
    const QString canonical = QFileInfo(device).canonicalFilePath();
    for (const PortInfo& p : ports)
        if (p.devicePath == device || (!canonical.isEmpty() && p.devicePath == canonical)) return p;
    PortInfo unknown;
    unknown.devicePath = device;
    return unknown;
}

QString PortOpenProblem(int error, const PortInfo& port) {
    return OpenProblem(error, port, BallRuleInstalled(), GroupAccessOf(port.devicePath));
}

// The adapter's device, as the send window finds it.
QString DetectDevice(IMessageSink& messages) {
    std::vector<PortInfo> ports;
    EnumeratePorts(ports, false);
    const AdapterDetection found =
        DetectAdapterPort(ports, &messages, [](const QString& s) { PrintErr(s); });
    if (!found.portKnown) {
        messages.Warn(QCoreApplication::translate("DeviceCommands", "未连接上彩球！"));
        return QString();
    }
    return found.device;
}

// A data.bin missing from a folder that holds a project: compile it first.
bool IsUncompiledProject(const QString& dataFile) {
    const QFileInfo info(dataFile);
    if (info.exists() || info.fileName() != QLatin1String("data.bin")) return false;
    const QStringList projectFiles = info.dir().entryList({QStringLiteral("*.prj")}, QDir::Files);
    for (const QString& name : projectFiles)
        if (name.compare(QLatin1String("Index.prj"), Qt::CaseInsensitive) == 0) return true;
    return false;
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Why a path that is there cannot be sent as a file: what it is instead.
// Empty for a regular file (also through a link) and for a missing path.
QString NotAFile(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return QString();
    if (S_ISFIFO(st.st_mode))
        return QCoreApplication::translate("DeviceCommands",
                                           "it is a FIFO (named pipe), not a file");
    if (S_ISCHR(st.st_mode))
        return QCoreApplication::translate("DeviceCommands",
                                           "it is a character device, not a file");
    if (S_ISBLK(st.st_mode))
        return QCoreApplication::translate("DeviceCommands", "it is a block device, not a file");
    if (S_ISDIR(st.st_mode))
        return QCoreApplication::translate("DeviceCommands", "it is a folder, not a file");
    if (S_ISSOCK(st.st_mode))
        return QCoreApplication::translate("DeviceCommands", "it is a socket, not a file");
    return QCoreApplication::translate("DeviceCommands", "it is not a regular file");
}

QString PortProblem(const CSerialPort& serial, const QString& device) {
    if (const std::optional<PortKind> kind = serial.RefusedAs()) return RefusalProblem(*kind);
    return PortOpenProblem(serial.OpenErrno(), DescribePort(device));
}

}  // namespace

int RunSend(const QStringList& arguments) {
    QStringList args = arguments;
    const std::optional<QString> port = TakeOption(args, QStringLiteral("--port"));
    const bool factory = args.removeAll(QStringLiteral("--factory")) > 0;
    BallConfig ball;
    if (!TakeBallOptions(args, &ball)) return 2;
    if (factory ? !args.isEmpty() : args.size() != 1) {
        PrintErr(QCoreApplication::translate(
            "DeviceCommands",
            "usage: glowdeck-cli send FILE|--factory [--port DEVICE] [--ball 1|2] "
            "[--layer inner|outer]"));
        return 2;
    }
    if (port && port->isEmpty()) {
        PrintErr(QCoreApplication::translate("DeviceCommands",
                                             "--port takes a device path, such as /dev/ttyUSB0"));
        return 2;
    }
    // A data file that is not there is named; only a project's data.bin that
    // has not been compiled yet, or a missing factory file, is "not compiled".
    // A FIFO, a device or a folder is named as what it is.
    if (!factory) {
        const QString notAFile = NotAFile(args[0]);
        if (!notAFile.isEmpty()) {
            PrintErr(QCoreApplication::translate("DeviceCommands", "cannot read %1: %2")
                         .arg(args[0], notAFile));
            return 1;
        }
    }
    if (!factory && !QFileInfo(args[0]).isFile() && !IsUncompiledProject(args[0])) {
        PrintErr(QCoreApplication::translate("DeviceCommands", "cannot read %1: no such file")
                     .arg(args[0]));
        return 1;
    }
    StderrMessageSink messages;
    const QString device = port ? *port : DetectDevice(messages);
    if (device.isEmpty()) return 1;

    CSerialPort serial(&messages);
    std::atomic<bool> passDone{false};
    SendEvents events;
    events.message = [&](const QString& s) { messages.Warn(s); };
    // One bar for the whole send, in milliseconds of the protocol's schedule:
    // the init wait, then a pause of BlockPauseMs after every packet.
    CliProgress progress(QStringLiteral("send"), CliProgress::StderrIsTerminal());
    std::atomic<bool> dataPhase{false};
    events.status = [&](const QString& s) {
        progress.Finish();  // the message on a line of its own; the bar follows below
        PrintErr(s);
    };
    long long initMs = 0, totalMs = 1;
    events.progress = [&](int value, int) {
        if (dataPhase)
            progress.Update(initMs + static_cast<long long>(value) * SendWorker::BlockPauseMs,
                            totalMs);
    };
    std::atomic<bool> initFailed{false};
    events.passEnded = [&](int phase, bool completed) {
        if (phase == SendWorker::PhaseInit && !completed) initFailed = true;
        passDone = true;
    };
    CSendController controller(serial, messages, events);
    if (factory)
        controller.SetFactoryMode(
            ProgramFolders::ForThisProgram().FolderHolding(frames::FactoryFileName(ball)), ball);
    else
        controller.sendFilePath = args[0];
    if (!QFileInfo(controller.sendFilePath).isFile()) {
        messages.Warn(QCoreApplication::translate("DeviceCommands", "还未编译！"));
        return 1;
    }
    if (!serial.Open(device, 57600, 'N', 8, 1, 512)) {
        PrintErr(QCoreApplication::translate("DeviceCommands", "串口未打开: %1: %2")
                     .arg(device, PortProblem(serial, device)));
        return 1;
    }
    PrintErr(QCoreApplication::translate("DeviceCommands", "sending %1 to %2")
                 .arg(controller.sendFilePath, device));
    const frames::Plan plan = frames::PlanFor(QFileInfo(controller.sendFilePath).size());
    initMs = controller.initSeconds * 1000LL;
    totalMs = initMs + (plan.fullPackets + (plan.rest ? 1 : 0)) *
                           static_cast<long long>(SendWorker::BlockPauseMs);
    // A line that hangs up (cable pulled) during the wait, or an init
    // command that could not be written, ends the send at once.
    auto lineUp = [&] {
        if (initFailed) return false;
        if (serial.LineUp()) return true;
        progress.Finish();
        PrintErr(
            QCoreApplication::translate("DeviceCommands", "串口未打开: %1 hung up").arg(device));
        return false;
    };
    if (!controller.PressSend(ball)) return 1;
    // The one-second ticks run from the send press, beside the init pass.
    for (;;) {
        for (int k = 0; k < 10; ++k) {
            Sleep(100);
            if (!lineUp()) return 1;
        }
        const bool initDone = controller.Tick();
        progress.Update(std::min<long long>(controller.tickCount * 1000LL, initMs), totalMs);
        if (initDone) break;
    }
    controller.Worker().Wait();
    passDone = false;
    dataPhase = true;
    Sleep(1);
    if (!controller.StartDataPhase()) {
        progress.Finish();
        return 1;
    }
    while (!passDone) Sleep(5);
    controller.Worker().Wait();
    progress.Finish();
    serial.Close();
    return controller.Worker().EndWritten() ? 0 : 1;
}

int RunPorts(const QStringList& args) {
    if (!args.isEmpty()) {
        PrintErr(QCoreApplication::translate("DeviceCommands", "usage: glowdeck-cli ports"));
        return 2;
    }
    std::vector<PortInfo> ports;
    EnumeratePorts(ports, false);
    StderrMessageSink messages;
    const AdapterDetection adapter = DetectAdapterPort(ports, nullptr);
    if (ports.empty())
        PrintOut(QCoreApplication::translate("DeviceCommands", "no serial ports found"));
    for (const PortInfo& p : ports) {
        const bool isAdapter = adapter.portKnown && p.devicePath == adapter.device;
        const int error = ProbePort(p.devicePath);
        PrintOut(QStringLiteral("%1 %2  %3  usb=%4  %5%6")
                     .arg(isAdapter ? QStringLiteral("*") : QStringLiteral(" "), p.devicePath,
                          p.friendlyName)
                     .arg(p.isUsb ? 1 : 0)
                     .arg(p.description, error ? QCoreApplication::translate("DeviceCommands",
                                                                             "  [cannot open: %1]")
                                                     .arg(PortOpenProblem(error, p))
                                               : QString()));
    }
    if (adapter.portKnown)
        PrintOut(QCoreApplication::translate("DeviceCommands", "* the ball's adapter"));
    return 0;
}

int RunBall(const QStringList& arguments) {
    QStringList args = arguments;
    const std::optional<QString> out = TakeOption(args, QStringLiteral("--out"));
    const std::optional<QString> link = TakeOption(args, QStringLiteral("--link"));
    const std::optional<QString> wait = TakeOption(args, QStringLiteral("--wait"));
    if (!args.isEmpty()) {
        PrintErr(QCoreApplication::translate(
            "DeviceCommands",
            "usage: glowdeck-cli ball [--out FILE] [--link PATH] [--wait SECONDS]"));
        return 2;
    }
    // Without --wait the ball listens until a sender comes.
    constexpr double kLongestWait = 86400;
    const std::optional<double> firstByte = wait ? ParseDecimal(*wait, 0.1, kLongestWait) : -1.0;
    if (!firstByte) {
        PrintErr(QCoreApplication::translate("DeviceCommands",
                                             "--wait takes seconds from 0.1 to %1, not \"%2\"")
                     .arg(kLongestWait)
                     .arg(*wait));
        return 2;
    }
    CVirtualBall ball;
    QString error;
    if (!ball.Open(&error)) {
        PrintErr(QCoreApplication::translate("DeviceCommands", "cannot open a pseudo-terminal: %1")
                     .arg(error));
        return 1;
    }
    if (link) {
        QFile::remove(*link);
        if (!QFile::link(ball.DevicePath(), *link)) {
            PrintErr(QCoreApplication::translate("DeviceCommands", "cannot make the link %1")
                         .arg(*link));
            return 1;
        }
    }
    PrintOut(QCoreApplication::translate("DeviceCommands", "virtual ball listening on %1")
                 .arg(ball.DevicePath()));
    std::fflush(stdout);
    const BallReport report = ball.Receive(*firstByte, 15, [](int packet) {
        if (packet % 50 == 0)
            std::fprintf(stderr, "\rreceived %d packets", packet), std::fflush(stderr);
        return true;
    });
    if (link) QFile::remove(*link);
    std::fputc('\n', stderr);
    const QString kind =
        report.ball.ballType == 2
            ? (report.ball.layer == 1
                   ? QCoreApplication::translate("DeviceCommands", "double-layer ball, inner layer")
                   : QCoreApplication::translate("DeviceCommands",
                                                 "double-layer ball, outer layer"))
            : QCoreApplication::translate("DeviceCommands", "single-layer ball");
    PrintOut(QCoreApplication::translate(
                 "DeviceCommands",
                 "init command for a %1; %2 packets, %3 bytes; init wait %4 s; shortest gap %5 ms")
                 .arg(kind)
                 .arg(report.packets)
                 .arg(report.data.size())
                 .arg(report.initWaitSeconds, 0, 'f', 2)
                 .arg(report.shortestGapMs, 0, 'f', 1));
    if (out) {
        QFile file(*out);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(report.data) != report.data.size()) {
            PrintErr(QCoreApplication::translate("DeviceCommands", "cannot write %1").arg(*out));
            return 1;
        }
    }
    if (!report.complete) {
        PrintOut(QCoreApplication::translate("DeviceCommands", "transfer failed: %1")
                     .arg(report.failure));
        return 1;
    }
    PrintOut(QCoreApplication::translate("DeviceCommands",
                                         "transfer complete: the ball would have stored %1 bytes")
                 .arg(report.data.size()));
    return 0;
}

}  // namespace glowdeck
