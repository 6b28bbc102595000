#pragma once
#include <QString>
#include <atomic>
#include <mutex>
#include <vector>

#include "device/SerialLink.h"

namespace glowdeck {

class IMessageSink;

// A write-only serial port on the terminal interface: exclusive, raw 8N1 at
// the given baud, no flow control, RTS asserted. Each block is written onto
// empty queues and has left the wire when Write returns.
class CSerialPort : public ISerialLink {
public:
    explicit CSerialPort(IMessageSink* messages = nullptr) : messages_(messages) {}
    ~CSerialPort() override;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // 1 when the device was opened (even if a configuration step failed and
    // was reported), 0 when it could not be opened (nothing is shown).
    int Open(const QString& device, int baud, char parity, int dataBits, int stopBits,
             int bufferSize);
    bool Write(const std::uint8_t* bytes, int length) override;
    // Waits for a block being written, then closes. Safe when not open.
    void Close();
    bool IsOpen() const override { return fd_.load() >= 0; }
    // False when the open line has hung up (device removed, cable pulled).
    bool LineUp() const;

    const QString& Device() const { return device_; }
    // Why the last Open returned 0 (errno text), for callers that explain it.
    const QString& OpenError() const { return openError_; }
    int OpenErrno() const { return openErrno_; }

    // "WARNING:  <step> Failed with the following error: \n<text>\nPort: <device>\n"
    static QString ErrorText(const QString& step, int error, const QString& device);

private:
    void ReportError(const char* step, int error);
    void Configure(int fd, int baud, char parity, int dataBits, int stopBits);

    IMessageSink* messages_;
    std::atomic<int> fd_{-1};
    std::timed_mutex writing_;
    QString device_;
    QString openError_;
    int openErrno_ = 0;
    std::vector<std::uint8_t> txBuffer_;
    int txLength_ = 0;
};

}  // namespace glowdeck
