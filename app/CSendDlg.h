#pragma once
#include <QDialog>
#include <QTimer>
#include <memory>

#include "device/SendController.h"
#include "device/SerialPort.h"
#include "led/BallConfig.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace glowdeck {

class IMessageSink;
struct PortInfo;

// "发送数据" / "恢复出厂文件": connects to the ball's adapter and downloads
// data.bin or a factory file. The transfer runs on the send worker's thread;
// its events come back to this window as queued calls.
class CSendDlg : public QDialog
{
    Q_OBJECT
public:
    using PortLister = std::function<std::vector<PortInfo>()>;

    CSendDlg(IMessageSink& messages, const QString& dataFile, const BallConfig& ball,
             QWidget* parent = nullptr, PortLister ports = {});
    ~CSendDlg() override;
    void SetFactoryMode(const QString& programFolder);

    // The buttons, for the window and for tests.
    void PressOpenClose();
    void PressSend();
    bool PortOpen() const { return port_.IsOpen(); }
    QString Status() const;
    static QString Instructions();

protected:
    void reject() override;  // "退出", Escape and closing the window
    void accept() override { reject(); }

private:
    void SetPortReady(bool ready);
    void SetPortOpen(bool open);
    void SetButtons(bool enabled);
    void Tick();

    IMessageSink& messages_;
    BallConfig ball_;
    PortLister ports_;
    CSerialPort port_;
    std::unique_ptr<CSendController> controller_;
    QString device_;
    QTimer ticks_;
    QProgressBar* progress_;
    QLineEdit* file_;
    QLineEdit* status_;
    QLabel* readyLight_;
    QLabel* openLight_;
    QPushButton* openClose_;
    QPushButton* send_;
    QLabel* packet_;
};

}  // namespace glowdeck
