#include "app/CSendDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppIcons.h"
#include "device/AdapterDetection.h"
#include "device/PortInfo.h"
#include "model/MessageSink.h"

namespace glowdeck {

QString CSendDlg::Instructions() {
    const char* lines[] = {
        "1、使用提供的USB线缆连接电脑及Orbilux。",
        "2、点击界面上的“打开传送端口”按钮，如操作成功界面上的端口指示灯将绿色显示，否则拔掉USB线缆重新操作。",
        "3、接通彩球电源，须在电机停转的情况下开机，将有八组绿色LED显示，提示进入下载模式。",
        "4、点击界面上的“发送”按钮，首先进入初始化设备进程，彩球LED将全部熄灭，否则初始化设备失败须重新操作。",
        "5、约8秒后进入发送进程，彩球绿色LED以流水灯形式显示，发送成功后全部绿色LED闪烁显示，否则均代表发送失败。",
        "6、退出发送数据窗口。",
        "7、关闭彩球电源开关，断开USB线缆。",
        "8、重新开机即可察看显示效果。",
    };
    QString text;
    for (const char* line : lines) text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return text + QStringLiteral("\r\n");
}

CSendDlg::CSendDlg(IMessageSink& messages, const QString& dataFile, const BallConfig& ball, QWidget* parent,
                   PortLister ports)
    : QDialog(parent), messages_(messages), ball_(ball), ports_(std::move(ports)), port_(&messages) {
    if (!ports_) ports_ = [] {
        std::vector<PortInfo> list;
        EnumeratePorts(list, false);
        return list;
    };
    setWindowTitle(QStringLiteral("发送数据"));
    auto* layout = new QVBoxLayout(this);
    auto* instructions = new QPlainTextEdit(Instructions(), this);
    instructions->setReadOnly(true);
    instructions->setMinimumSize(520, 190);
    QPalette white = instructions->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Text, Qt::black);
    instructions->setPalette(white);
    layout->addWidget(new QLabel(QStringLiteral("下载操作步骤："), this));
    layout->addWidget(instructions);

    auto* lights = new QHBoxLayout;
    readyLight_ = new QLabel(this);
    openLight_ = new QLabel(this);
    lights->addWidget(readyLight_);
    lights->addWidget(new QLabel(QStringLiteral("端口准备"), this));
    lights->addSpacing(24);
    lights->addWidget(openLight_);
    lights->addWidget(new QLabel(QStringLiteral("端口打开"), this));
    lights->addStretch();
    layout->addLayout(lights);

    auto* form = new QFormLayout;
    file_ = new QLineEdit(dataFile, this);
    file_->setReadOnly(true);
    status_ = new QLineEdit(this);
    status_->setReadOnly(true);
    status_->setObjectName(QStringLiteral("status"));
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    form->addRow(QStringLiteral("待发送文件："), file_);
    form->addRow(QStringLiteral("状  态："), status_);
    form->addRow(progress_);
    layout->addLayout(form);
    packet_ = new QLabel(this);
    packet_->setObjectName(QStringLiteral("packet"));
    layout->addWidget(packet_);

    auto* buttons = new QHBoxLayout;
    auto* diagnostics = new QPushButton(QStringLiteral("…"), this);
    diagnostics->setFixedSize(18, 18);
    diagnostics->setToolTip(QStringLiteral("列出串口"));
    openClose_ = new QPushButton(QStringLiteral("打开传送端口"), this);
    openClose_->setObjectName(QStringLiteral("openClose"));
    send_ = new QPushButton(QStringLiteral("发送"), this);
    send_->setObjectName(QStringLiteral("send"));
    auto* exit = new QPushButton(QStringLiteral("退出"), this);
    buttons->addWidget(diagnostics);
    buttons->addStretch();
    buttons->addWidget(openClose_);
    buttons->addWidget(send_);
    buttons->addWidget(exit);
    layout->addLayout(buttons);

    // Worker events arrive on the worker's thread: forward them to this one.
    auto queued = [this](auto f) {
        return [this, f](auto... args) { QMetaObject::invokeMethod(this, [=] { f(args...); }, Qt::QueuedConnection); };
    };
    SendEvents events;
    events.progress = queued([this](int value, int maximum) {
        progress_->setRange(0, std::max(maximum, 1));
        progress_->setValue(value);
    });
    events.status = queued([this](const QString& s) { status_->setText(s); });
    events.packet = queued([this](const QString& s) { packet_->setText(s); });
    events.buttonsEnabled = queued([this](bool e) { SetButtons(e && port_.IsOpen()); });
    events.message = [this](const QString& m) { messages_.Warn(m); };
    controller_ = std::make_unique<CSendController>(port_, messages_, events);
    controller_->sendFilePath = dataFile;

    ticks_.setInterval(1000);
    connect(&ticks_, &QTimer::timeout, this, &CSendDlg::Tick);
    connect(openClose_, &QPushButton::clicked, this, &CSendDlg::PressOpenClose);
    connect(send_, &QPushButton::clicked, this, &CSendDlg::PressSend);
    connect(exit, &QPushButton::clicked, this, &CSendDlg::reject);
    connect(diagnostics, &QPushButton::clicked, this, [this] {
        for (const PortInfo& p : ports_()) messages_.Show(p.friendlyName, QStringLiteral("Orbilux"), IMessageSink::Icon::Information);
    });
    SetPortReady(false);
    SetPortOpen(false);
    SetButtons(false);
}

CSendDlg::~CSendDlg() {
    controller_->Exit();
    port_.Close();
}

void CSendDlg::SetFactoryMode(const QString& programFolder) {
    controller_->SetFactoryMode(programFolder, ball_);
    setWindowTitle(controller_->Caption());
    file_->setText(controller_->sendFilePath);
}

QString CSendDlg::Status() const { return status_->text(); }

void CSendDlg::SetPortReady(bool ready) {
    readyLight_->setPixmap(ToolIcon(ready ? QStringLiteral("light-on") : QStringLiteral("light-off")).pixmap(20, 20));
    readyLight_->setProperty("lit", ready);
}

void CSendDlg::SetPortOpen(bool open) {
    openLight_->setPixmap(ToolIcon(open ? QStringLiteral("light-on") : QStringLiteral("light-off")).pixmap(20, 20));
    openLight_->setProperty("lit", open);
}

void CSendDlg::SetButtons(bool enabled) { send_->setEnabled(enabled); }

void CSendDlg::PressOpenClose() {
    const AdapterDetection found = DetectAdapterPort(ports_(), &messages_, [this](const QString& s) { status_->setText(s); });
    SetPortReady(found.portKnown);
    if (found.portKnown) device_ = found.device;
    if (!found.portKnown && device_.isEmpty()) {
        messages_.Warn(QStringLiteral("未连接上彩球！"));
        return;
    }
    if (port_.IsOpen()) {
        port_.Close();
        openClose_->setText(QStringLiteral("打开串口"));
        SetPortOpen(false);
        SetButtons(false);
        return;
    }
    if (port_.Open(device_, 57600, 'N', 8, 1, 512)) {
        openClose_->setText(QStringLiteral("关闭串口"));
        SetPortOpen(true);
        SetButtons(true);
    } else {
        SetPortOpen(false);
        messages_.Warn(QStringLiteral("串口未打开"));
    }
}

void CSendDlg::PressSend() {
    if (controller_->PressSend(ball_)) ticks_.start();
}

void CSendDlg::Tick() {
    if (!controller_->Tick()) return;
    ticks_.stop();
    QTimer::singleShot(1, this, [this] { controller_->StartDataPhase(); });
}

void CSendDlg::reject() {
    ticks_.stop();
    controller_->Exit();
    port_.Close();
    QDialog::reject();
}

}  // namespace glowdeck
