// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

#include "device/PortKind.h"
#include "device/SerialLink.h"

namespace glowdeck {

class IMessageSink;

// A write-only serial port on the terminal interface: exclusive, raw 8N1 at
// the given baud, no flow control, RTS asserted. Each block is written onto
// empty queues and has left the wire when Write returns, or the write fails
// at its deadline: a line that stops taking bytes (a pseudo-terminal whose
// reader stopped, a hung adapter) never blocks the sender for ever.
// Only serial ports and pseudo-terminals are opened; consoles, other
// terminals and anything that is no terminal are refused untouched.
class CSerialPort : public ISerialLink {
public:
    explicit CSerialPort(IMessageSink* messages = nullptr,
                         TerminalSources sources = TerminalSources())
        : messages_(messages), sources_(std::move(sources)) {}
    ~CSerialPort() override;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // 1 when the device was opened (even if a configuration step failed and
    // was reported), 0 when it could not be opened or was refused (nothing
    // is shown).
    int Open(const QString& device, int baud, char parity, int dataBits, int stopBits,
             int bufferSize);
    bool Write(const std::uint8_t* bytes, int length) override;
    // Waits for a block being written (one waiting for room gives up), clears
    // the exclusive mode, then closes. Safe when not open.
    void Close();
    bool IsOpen() const override { return fd_.load() >= 0; }
    // False when the open line has hung up (device removed, cable pulled).
    bool LineUp() const;

    const QString& Device() const { return device_; }
    // Why the last Open returned 0 (errno text), for callers that explain it.
    const QString& OpenError() const { return openError_; }
    int OpenErrno() const { return openErrno_; }
    // Set when the last Open refused the device for what it is (a console,
    // another terminal, no terminal); OpenErrno is then ENOTTY.
    std::optional<PortKind> RefusedAs() const { return refusedAs_; }

    // How long one block may take to be written and leave the wire: a few
    // seconds beyond its time on the line at the baud rate.
    static std::chrono::milliseconds WriteDeadlineFor(int baud, int bitsPerByte, int bytes);
    // A fixed deadline instead of the derived one (tests); zero restores it.
    void SetWriteDeadline(std::chrono::milliseconds deadline) { fixedDeadline_ = deadline; }

    // "WARNING:  <step> Failed with the following error: \n<text>\nPort: <device>\n"
    static QString ErrorText(const QString& step, int error, const QString& device);
    static QString ErrorText(const QString& step, const QString& reason, const QString& device);
    // The reason shown when a block missed its deadline.
    static QString TimeoutReason(std::chrono::milliseconds deadline);

private:
    void ReportError(const char* step, int error);
    void Configure(int fd, int baud, char parity, int dataBits, int stopBits);

    // 0 when the descriptor takes bytes again (or reports its fault on the
    // next write), ETIMEDOUT past the deadline, ECANCELED when Close asks.
    int WaitWritable(int fd, std::chrono::steady_clock::time_point deadline);
    // 0 when the block has left the wire, ETIMEDOUT past the deadline.
    int WaitDrained(int fd, std::chrono::steady_clock::time_point deadline);

    IMessageSink* messages_;
    TerminalSources sources_;
    std::atomic<int> fd_{-1};
    std::atomic<bool> closing_{false};
    std::timed_mutex writing_;
    int baud_ = 57600;
    int bitsPerByte_ = 10;
    std::chrono::milliseconds fixedDeadline_{0};
    std::optional<PortKind> refusedAs_;
    QString device_;
    QString openError_;
    int openErrno_ = 0;
    std::vector<std::uint8_t> txBuffer_;
    int txLength_ = 0;
};

}  // namespace glowdeck
