// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CSendDlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <cerrno>
#include <utility>

#include "app/AppIcons.h"
#include "base/MessageSink.h"
#include "device/AdapterDetection.h"
#include "device/PortAccess.h"

namespace glowdeck {

namespace {
const QString kPortKey = QStringLiteral("Settings1.1/SerialPort");

bool Vanished(int error) { return error == ENOENT || error == ENODEV || error == ENXIO; }
}  // namespace

QString CSendDlg::RememberedPort() {
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"));
    return settings.value(kPortKey).toString();
}

void CSendDlg::RememberPort(const QString& devicePath) {
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"));
    settings.setValue(kPortKey, devicePath);
}

QString CSendDlg::Instructions() {
    const char* lines[] = {
        QT_TR_NOOP("1、使用提供的USB线缆连接电脑及Orbilux。"),
        QT_TR_NOOP("2、点击界面上的“打开传送端口”按钮，如操作成功界面上的端口指示灯将绿色显示，"
                   "否则拔掉USB线缆重新操作。"),
        QT_TR_NOOP("3、接通彩球电源，须在电机停转的情况下开机，将有八组绿色LED显示，"
                   "提示进入下载模式。"),
        QT_TR_NOOP("4、点击界面上的“发送”按钮，首先进入初始化设备进程，彩球LED将全部熄灭，"
                   "否则初始化设备失败须重新操作。"),
        QT_TR_NOOP("5、约8秒后进入发送进程，彩球绿色LED以流水灯形式显示，"
                   "发送成功后全部绿色LED闪烁显示，否则均代表发送失败。"),
        QT_TR_NOOP("6、退出发送数据窗口。"),
        QT_TR_NOOP("7、关闭彩球电源开关，断开USB线缆。"),
        QT_TR_NOOP("8、重新开机即可察看显示效果。"),
    };
    QString text;
    for (const char* line : lines) text += tr(line) + QStringLiteral("\r\n");
    return text + QStringLiteral("\r\n");
}

CSendDlg::CSendDlg(IMessageSink& messages, const QString& dataFile, const BallConfig& ball,
                   QWidget* parent, PortSource ports)
    : QDialog(parent),
      messages_(messages),
      ball_(ball),
      ports_(std::move(ports)),
      port_(&messages) {
    if (!ports_) ports_ = SystemPorts;
    setWindowTitle(tr("发送数据"));
    auto* layout = new QVBoxLayout(this);
    auto* instructions = new QPlainTextEdit(Instructions(), this);
    instructions->setReadOnly(true);
    instructions->setMinimumSize(520, 190);
    QPalette white = instructions->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Text, Qt::black);
    instructions->setPalette(white);
    layout->addWidget(new QLabel(tr("下载操作步骤："), this));
    layout->addWidget(instructions);

    auto* lights = new QHBoxLayout;
    readyLight_ = new QLabel(this);
    openLight_ = new QLabel(this);
    lights->addWidget(readyLight_);
    lights->addWidget(new QLabel(tr("端口准备"), this));
    lights->addSpacing(24);
    lights->addWidget(openLight_);
    lights->addWidget(new QLabel(tr("端口打开"), this));
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
    form->addRow(tr("待发送文件："), file_);
    form->addRow(tr("状  态："), status_);
    form->addRow(progress_);
    layout->addLayout(form);
    packet_ = new QLabel(this);
    packet_->setObjectName(QStringLiteral("packet"));
    layout->addWidget(packet_);

    // Said while data.bin lags behind the project, with the offer to compile.
    staleRow_ = new QWidget(this);
    staleRow_->setObjectName(QStringLiteral("staleNotice"));
    auto* staleLayout = new QHBoxLayout(staleRow_);
    staleLayout->setContentsMargins(0, 0, 0, 0);
    auto* staleText =
        new QLabel(tr("项目在上次编译后已修改，待发送的 data.bin 不是最新的。"), staleRow_);
    staleText->setStyleSheet(QStringLiteral("color: #b00000;"));
    compileFirst_ = new QPushButton(tr("先编译"), staleRow_);
    compileFirst_->setObjectName(QStringLiteral("compileFirst"));
    staleLayout->addWidget(staleText, 1);
    staleLayout->addWidget(compileFirst_);
    layout->addWidget(staleRow_);
    staleRow_->hide();
    connect(compileFirst_, &QPushButton::clicked, this, &CSendDlg::CompileFirst);

    // Other serial ports, offered when the adapter is not found.
    chooser_ = new QWidget(this);
    chooser_->setObjectName(QStringLiteral("portChooser"));
    auto* choose = new QFormLayout(chooser_);
    choose->setContentsMargins(0, 0, 0, 0);
    auto* listRow = new QHBoxLayout;
    portList_ = new QComboBox(chooser_);
    portList_->setObjectName(QStringLiteral("portList"));
    portList_->setMinimumContentsLength(36);
    auto* refresh = new QPushButton(tr("刷新"), chooser_);
    refresh->setAutoDefault(false);
    listRow->addWidget(portList_, 1);
    listRow->addWidget(refresh);
    auto* pathRow = new QHBoxLayout;
    remembered_ = RememberedPort();
    portPath_ = new QLineEdit(remembered_, chooser_);
    portPath_->setObjectName(QStringLiteral("portPath"));
    portPath_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    portPath_->installEventFilter(this);
    auto* use = new QPushButton(tr("选用"), chooser_);
    use->setObjectName(QStringLiteral("usePort"));
    use->setAutoDefault(false);
    pathRow->addWidget(portPath_, 1);
    pathRow->addWidget(use);
    choose->addRow(tr("其他串口："), listRow);
    choose->addRow(tr("串口路径："), pathRow);
    layout->addWidget(chooser_);
    // A user who chose a port before is offered the choice again at once.
    chooser_->hide();
    if (!portPath_->text().isEmpty()) OfferPorts();
    connect(refresh, &QPushButton::clicked, this, &CSendDlg::OfferPorts);
    connect(portList_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        const QString path = portList_->itemData(index).toString();
        portPath_->setText(path);
        ChoosePort(path);
    });
    connect(use, &QPushButton::clicked, this, [this] { ChoosePort(portPath_->text().trimmed()); });
    // A path typed by the user counts as chosen once the field is left (also
    // by pressing the open button right away).
    connect(portPath_, &QLineEdit::editingFinished, this, [this] {
        if (portPath_->isModified()) ChoosePort(portPath_->text().trimmed());
    });

    auto* buttons = new QHBoxLayout;
    auto* diagnostics = new QPushButton(QStringLiteral("…"), this);
    diagnostics->setFixedSize(18, 18);
    diagnostics->setToolTip(tr("列出串口"));
    openClose_ = new QPushButton(tr("打开传送端口"), this);
    openClose_->setObjectName(QStringLiteral("openClose"));
    send_ = new QPushButton(tr("发送"), this);
    send_->setObjectName(QStringLiteral("send"));
    auto* exit = new QPushButton(tr("退出"), this);
    buttons->addWidget(diagnostics);
    buttons->addStretch();
    buttons->addWidget(openClose_);
    buttons->addWidget(send_);
    buttons->addWidget(exit);
    layout->addLayout(buttons);

    // Worker events arrive on the worker's thread: forward them to this one.
    auto queued = [this](auto f) {
        return [this, f](auto... args) {
            QMetaObject::invokeMethod(
                this, [=] { f(args...); }, Qt::QueuedConnection);
        };
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
    events.passEnded = queued([this](int phase, bool completed) {
        // The init pass ends long before its wait; a failed one ends the transfer.
        if (phase == SendWorker::PhaseInit && completed) return;
        if (phase == SendWorker::PhaseInit) ticks_.stop();
        phase_ = Phase::Idle;
        SetButtons(true);
    });
    controller_ = std::make_unique<CSendController>(port_, messages_, events);
    controller_->sendFilePath = dataFile;

    ticks_.setInterval(1000);
    connect(&ticks_, &QTimer::timeout, this, &CSendDlg::Tick);
    connect(openClose_, &QPushButton::clicked, this, &CSendDlg::PressOpenClose);
    connect(send_, &QPushButton::clicked, this, &CSendDlg::PressSend);
    connect(exit, &QPushButton::clicked, this, &CSendDlg::reject);
    connect(diagnostics, &QPushButton::clicked, this, [this] {
        for (const PortInfo& p : EnumeratedPorts())
            messages_.Show(p.friendlyName, QStringLiteral("Orbilux"),
                           IMessageSink::Icon::Information);
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
    readyLight_->setPixmap(
        ToolIcon(ready ? QStringLiteral("light-on") : QStringLiteral("light-off")).pixmap(20, 20));
    readyLight_->setProperty("lit", ready);
}

void CSendDlg::SetPortOpen(bool open) {
    openLight_->setPixmap(
        ToolIcon(open ? QStringLiteral("light-on") : QStringLiteral("light-off")).pixmap(20, 20));
    openLight_->setProperty("lit", open);
}

// "发送" works only with the port open and no transfer under way (the worker
// enables the buttons when its init pass ends, long before the init wait does).
void CSendDlg::SetButtons(bool enabled) {
    send_->setEnabled(enabled && port_.IsOpen() && phase_ == Phase::Idle);
}

void CSendDlg::SetCompiledCheck(std::function<bool()> stale, std::function<bool()> compile) {
    stale_ = std::move(stale);
    compile_ = std::move(compile);
    ShowStale();
}

bool CSendDlg::SaysStale() const { return !staleRow_->isHidden(); }

void CSendDlg::ShowStale() {
    const bool stale = stale_ && stale_();
    staleRow_->setVisible(stale);
    compileFirst_->setDefault(stale);
    if (stale) compileFirst_->setFocus();
}

bool CSendDlg::CompileFirst() {
    if (compile_) compile_();
    ShowStale();
    return !SaysStale();
}

std::vector<PortInfo> CSendDlg::EnumeratedPorts() const {
    std::vector<PortInfo> list;
    EnumeratePorts(list, false, ports_);
    return list;
}

void CSendDlg::OfferPorts() {
    const QString current = portPath_->text().trimmed();
    portList_->clear();
    for (const RawPort& port : ports_()) {
        portList_->addItem(PortLabel(port), port.devicePath);
        if (port.devicePath == current) portList_->setCurrentIndex(portList_->count() - 1);
    }
    chooser_->show();
}

void CSendDlg::ChoosePort(const QString& devicePath) {
    portPath_->setModified(false);
    if (devicePath.isEmpty()) return;
    device_ = devicePath;
    portKnown_ = true;
    autoDetect_ = false;
    SetPortReady(true);
    status_->setText(tr("选择端口：%1").arg(devicePath));
    RememberPort(devicePath);
}

// A port that went away is not opened again by name: the name may belong to
// another device by now. Detection takes over until a port is chosen again.
void CSendDlg::ForgetPort() {
    device_.clear();
    remembered_.clear();
    portKnown_ = false;
    autoDetect_ = true;
    SetPortReady(false);
}

void CSendDlg::PressOpenClose() {
    if (autoDetect_) {
        const AdapterDetection found = DetectAdapterPort(
            EnumeratedPorts(), &messages_, [this](const QString& s) { status_->setText(s); });
        portKnown_ = found.portKnown;
        device_ = found.portKnown ? found.device : QString();
        SetPortReady(portKnown_);
        if (!portKnown_) {
            OfferPorts();
            // The path chosen last time stands in for the adapter that is not
            // there, once: a port that went away is not reopened by its name.
            const QString remembered = std::exchange(remembered_, QString());
            if (!remembered.isEmpty() && !port_.IsOpen())
                ChoosePort(remembered);
            else
                status_->setText(tr("未检测到传送端口，可在下面选择串口"));
        }
    }
    // An open port is closed even when its adapter is gone.
    if (port_.IsOpen()) {
        if (Transferring()) StopTransfer();
        const bool vanished = !port_.LineUp();
        port_.Close();
        openClose_->setText(tr("打开串口"));
        SetPortOpen(false);
        SetButtons(false);
        if (vanished) ForgetPort();
        return;
    }
    if (!portKnown_) {
        messages_.Warn(tr("未连接上彩球！"));
        return;
    }
    if (port_.Open(device_, 57600, 'N', 8, 1, 512)) {
        openClose_->setText(tr("关闭串口"));
        SetPortOpen(true);
        SetButtons(true);
    } else {
        SetPortOpen(false);
        const int error = port_.OpenErrno();
        const std::optional<PortKind> refused = port_.RefusedAs();
        const QString reason =
            refused ? RefusalText(device_, *refused) : OpenFailureReason(device_, error);
        if (Vanished(error)) ForgetPort();
        messages_.Warn(tr("串口未打开\n\n") + reason);
    }
}

bool CSendDlg::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the path field chooses the path instead of leaving the window.
    if (watched == portPath_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ChoosePort(portPath_->text().trimmed());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSendDlg::PressSend() {
    if (Transferring()) return;
    ShowStale();
    if (SaysStale() &&
        messages_.Show(tr("项目在上次编译后已修改，是否先编译？"), IMessageSink::Caption(),
                       IMessageSink::Icon::Question,
                       IMessageSink::Buttons::YesNo) == IMessageSink::Answer::Yes &&
        !CompileFirst())
        return;  // not compiled: nothing is sent
    if (!controller_->PressSend(ball_)) return;
    phase_ = Phase::Initialising;
    SetButtons(false);
    ticks_.start();
}

void CSendDlg::Tick() {
    if (!controller_->Tick()) return;
    ticks_.stop();
    QTimer::singleShot(1, this, [this] {
        if (phase_ != Phase::Initialising) return;  // stopped meanwhile
        if (controller_->StartDataPhase()) {
            phase_ = Phase::Sending;
        } else {
            phase_ = Phase::Idle;
            SetButtons(true);
        }
    });
}

void CSendDlg::StopTransfer() {
    ticks_.stop();
    controller_->Exit();
    phase_ = Phase::Idle;
    progress_->setValue(0);
    status_->setText(tr("串口已关闭，发送已中止"));
}

void CSendDlg::reject() {
    ticks_.stop();
    controller_->Exit();
    port_.Close();
    QDialog::reject();
}

}  // namespace glowdeck
