// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

#include "base/BallConfig.h"
#include "device/PortInfo.h"
#include "device/SendController.h"
#include "device/SerialPort.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace glowdeck {

class IMessageSink;
// "发送数据" / "恢复出厂文件": connects to the ball's adapter and downloads
// data.bin or a factory file. The transfer runs on the send worker's thread;
// its events come back to this window as queued calls.
// The adapter is found by its name first; when it is not there, the window
// offers the machine's serial ports and a path field (another adapter, or a
// virtual ball's pseudo-terminal), and remembers the path chosen.
class CSendDlg : public QDialog {
    Q_OBJECT
public:
    CSendDlg(IMessageSink& messages, const QString& dataFile, const BallConfig& ball,
             QWidget* parent = nullptr, PortSource ports = {});
    ~CSendDlg() override;
    void SetFactoryMode(const QString& programFolder);
    // The project's data: `stale` tells whether data.bin lags behind the
    // project, `compile` compiles it (true when it did). While it lags the
    // window says so and offers to compile first, as its default button.
    void SetCompiledCheck(std::function<bool()> stale, std::function<bool()> compile);
    bool SaysStale() const;
    // "先编译": compiles and says whether the data is up to date now.
    bool CompileFirst();

    // The buttons, for the window and for tests.
    void PressOpenClose();
    void PressSend();
    // A port chosen by hand (list entry, path field): detection stops.
    void ChoosePort(const QString& devicePath);
    bool PortOpen() const { return port_.IsOpen(); }
    // A transfer is under way: the init wait or the data pass.
    bool Transferring() const { return phase_ != Phase::Idle; }
    bool PortKnown() const { return portKnown_; }
    QString Status() const;
    static QString Instructions();
    // The init countdown's tick (one second); tests shorten it.
    void SetTickInterval(int ms) { ticks_.setInterval(ms); }
    // The port's write deadline instead of the one its baud rate gives; tests shorten it.
    void SetWriteDeadline(std::chrono::milliseconds deadline) { port_.SetWriteDeadline(deadline); }

    // The path remembered from the last manual choice.
    static QString RememberedPort();
    static void RememberPort(const QString& devicePath);

protected:
    void reject() override;  // "退出", Escape and closing the window
    void accept() override { reject(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<PortInfo> EnumeratedPorts() const;
    void OfferPorts();
    void ForgetPort();
    void SetPortReady(bool ready);
    void SetPortOpen(bool open);
    void SetButtons(bool enabled);
    void Tick();
    void ShowStale();
    // The port is closed during a transfer: the countdown and the pass stop.
    void StopTransfer();

    IMessageSink& messages_;
    BallConfig ball_;
    PortSource ports_;
    CSerialPort port_;
    std::unique_ptr<CSendController> controller_;
    QString device_;  // the port to open: freshly detected or chosen by hand
    bool portKnown_ = false;
    bool autoDetect_ = true;
    QString remembered_;  // the path chosen in an earlier session, until used
    enum class Phase { Idle, Initialising, Sending };
    Phase phase_ = Phase::Idle;
    std::function<bool()> stale_, compile_;
    QWidget* staleRow_;
    QPushButton* compileFirst_;
    QTimer ticks_;
    QProgressBar* progress_;
    QLineEdit* file_;
    QLineEdit* status_;
    QLabel* readyLight_;
    QLabel* openLight_;
    QPushButton* openClose_;
    QPushButton* send_;
    QLabel* packet_;
    QWidget* chooser_;
    QComboBox* portList_;
    QLineEdit* portPath_;
};

}  // namespace glowdeck
