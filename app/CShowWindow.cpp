// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CShowWindow.h"

#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include "base/RegularFile.h"
#include "led/LedOrder.h"
#include "model/GlowdeckDoc.h"
#include "show/BallRenderer.h"
#include "show/LayerCompiler.h"
#include "show/StripRenderer.h"

namespace glowdeck {

namespace {

QSettings Settings() { return QSettings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck")); }

const QString kColumnsPerTurn = QStringLiteral("放映/每圈列数");  // untranslated
const QString kGroupSeconds = QStringLiteral("放映/每组秒数");    // untranslated
const QString kTurnSeconds = QStringLiteral("放映/每圈秒数");     // untranslated
const QString kScrollSpeed = QStringLiteral("放映/滚动速度");     // untranslated
const QString kSpeed = QStringLiteral("放映/播放速度");           // untranslated
const QString kView = QStringLiteral("放映/视图");                // untranslated
const QString kTilt = QStringLiteral("放映/倾角");                // untranslated
const QString kLayers = QStringLiteral("放映/层");                // untranslated

}  // namespace

// The shown group's strip as round LEDs on black, as tall as the widget
// allows; a strip wider than the widget scrolls with the show.
class CShowStripCanvas : public QWidget {
public:
    explicit CShowStripCanvas(CShowWindow& window) : QWidget(&window), window_(window) {
        setMinimumSize(300, 120);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        const CShow* show = window_.Show();
        if (!show || show->Empty()) return;
        const size_t g = static_cast<size_t>(window_.Player().Group());
        // Both layers of a double ball: the inner strip under the outer one,
        // two LEDs apart.
        std::vector<const ShowGroup*> groups{&show->Groups()[g]};
        if (const CShow* inside = window_.InsideShow(); inside && g < inside->Groups().size())
            groups.push_back(&inside->Groups()[g]);
        const int strips = static_cast<int>(groups.size()), rows = (LedRows + 2) * strips - 2;
        const int pitch = std::max(1, std::min(height() / rows, 24));
        if (!renderer_ || renderer_->Pitch() != pitch) renderer_.emplace(pitch);
        const int top = (height() - rows * pitch) / 2;
        for (int k = 0; k < strips; ++k)
            DrawStrip(painter, *groups[size_t(k)], top + k * (LedRows + 2) * pitch);
    }

private:
    void DrawStrip(QPainter& painter, const ShowGroup& group, int top) const {
        const std::vector<int> strip = group.StripAt(window_.Player().GroupMs());
        const int pitch = renderer_->Pitch();
        const int fits = width() / pitch;
        const int columns = static_cast<int>(strip.size());
        int first = 0;
        if (columns > fits && columns > 0) first = static_cast<int>(window_.Scroll() % columns);
        renderer_->Draw(painter, QPoint(0, top), group.columns, strip, first, fits);
        // Wrapping round to the strip's start after its end.
        if (columns > fits && first + fits > columns)
            renderer_->Draw(painter, QPoint((columns - first) * pitch, top), group.columns, strip,
                            0, first + fits - columns);
    }

    CShowWindow& window_;
    std::optional<CStripRenderer> renderer_;
};

// The turning ball; dragging turns it by hand and tilts it.
class CShowBallCanvas : public QWidget {
public:
    explicit CShowBallCanvas(CShowWindow& window) : QWidget(&window), window_(window) {
        setMinimumSize(200, 200);
        tilt_ = Settings().value(kTilt, 20.0).toDouble();
    }
    double HandTurn() const { return handTurn_; }
    double Tilt() const { return tilt_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        const CShow* show = window_.Show();
        if (!show || show->Empty()) return;
        const int size = std::min(width(), height());
        if (renderer_.Size() != size || renderer_.ColumnsPerTurn() != window_.ColumnsPerTurn() ||
            viewTilt_ != tilt_) {
            // A large ball is worked out for every 2 × 2 pixels, to keep up while turning.
            renderer_.SetView(size, tilt_, window_.ColumnsPerTurn(), size > 480 ? 2 : 1);
            viewTilt_ = tilt_;
        }
        const size_t g = static_cast<size_t>(window_.Player().Group());
        const ShowGroup& group = show->Groups()[g];
        const std::vector<int> strip = group.StripAt(window_.Player().GroupMs());
        std::vector<int> insideStrip;
        BallLayer inside;
        if (const CShow* inner = window_.InsideShow(); inner && g < inner->Groups().size()) {
            insideStrip = inner->Groups()[g].StripAt(window_.Player().GroupMs());
            inside = {&inner->Groups()[g].columns, &insideStrip};
        }
        renderer_.Render(&picture_, {&group.columns, &strip}, window_.TurnDeg() + handTurn_,
                         window_.Scroll(), inside.columns ? &inside : nullptr);
        painter.drawImage((width() - size) / 2, (height() - size) / 2, picture_);
    }
    void mousePressEvent(QMouseEvent* event) override { last_ = event->position(); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton)) return;
        const QPointF d = event->position() - last_;
        last_ = event->position();
        const double size = std::max(1, std::min(width(), height()));
        handTurn_ -= d.x() / size * 180;
        tilt_ = std::clamp(tilt_ + d.y() / size * 180, -90.0, 90.0);
        update();
    }
    void mouseReleaseEvent(QMouseEvent*) override { Settings().setValue(kTilt, tilt_); }

private:
    CShowWindow& window_;
    CBallRenderer renderer_;
    QImage picture_;
    QPointF last_;
    double handTurn_ = 0, tilt_ = 20, viewTilt_ = 1000;
};

CShowWindow::CShowWindow(CGlowdeckDoc& doc, QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(doc) {
    setObjectName(QStringLiteral("showWindow"));
    setWindowTitle(tr("放映"));
    const QSettings settings = Settings();

    groups_ = new QListWidget(this);
    groups_->setMaximumWidth(220);
    play_ = new QPushButton(this);
    speed_ = new QComboBox(this);
    for (double s : {0.25, 0.5, 1.0, 2.0, 4.0}) speed_->addItem(QStringLiteral("%1×").arg(s), s);
    speed_->setCurrentIndex(std::max(0, speed_->findData(settings.value(kSpeed, 1.0).toDouble())));
    groupSeconds_ = new QSpinBox(this);
    groupSeconds_->setRange(1, 600);
    groupSeconds_->setValue(settings.value(kGroupSeconds, 5).toInt());
    columnsPerTurn_ = new QSpinBox(this);
    columnsPerTurn_->setObjectName(QStringLiteral("columnsPerTurn"));
    columnsPerTurn_->setRange(8, 4096);
    columnsPerTurn_->setValue(settings.value(kColumnsPerTurn, 112).toInt());
    turnSeconds_ = new QDoubleSpinBox(this);
    turnSeconds_->setRange(0.5, 60);
    turnSeconds_->setSingleStep(0.5);
    turnSeconds_->setValue(settings.value(kTurnSeconds, 4.0).toDouble());
    scrollSpeed_ = new QSpinBox(this);
    scrollSpeed_->setRange(0, 1000);
    scrollSpeed_->setValue(settings.value(kScrollSpeed, 28).toInt());
    layers_ = new QComboBox(this);
    layers_->setObjectName(QStringLiteral("showLayers"));
    layers_->addItem(tr("外层"), int(Layers::Outer));
    layers_->addItem(tr("内层"), int(Layers::Inner));
    layers_->addItem(tr("双层"), int(Layers::Both));
    layers_->setCurrentIndex(
        std::max(0, layers_->findData(settings.value(kLayers, int(Layers::Both)).toInt())));
    compiler_ = new CLayerCompiler(this);
    connect(compiler_, &CLayerCompiler::finished, this, &CShowWindow::TakeCompiledLayer);

    views_ = new QTabWidget(this);
    strip_ = new CShowStripCanvas(*this);
    ball3d_ = new CShowBallCanvas(*this);
    views_->addTab(strip_, tr("条带"));
    views_->addTab(ball3d_, tr("球体"));
    views_->setCurrentIndex(settings.value(kView, 1).toInt() == 0 ? 0 : 1);
    status_ = new QLabel(this);
    status_->setWordWrap(true);

    auto* choices = new QFormLayout;
    choices_ = choices;
    choices->addRow(tr("显示层"), layers_);
    choices->setRowVisible(layers_, false);  // a double ball's choice
    choices->addRow(tr("播放速度"), speed_);
    choices->addRow(tr("每组秒数"), groupSeconds_);
    choices->addRow(tr("每圈列数"), columnsPerTurn_);
    choices->addRow(tr("每圈秒数"), turnSeconds_);
    choices->addRow(tr("滚动（列/秒）"), scrollSpeed_);
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(tr("群组"), this));
    side->addWidget(groups_, 1);
    side->addWidget(play_);
    side->addLayout(choices);
    auto* main = new QVBoxLayout;
    main->addWidget(views_, 1);
    main->addWidget(status_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(side);
    layout->addLayout(main, 1);
    resize(980, 640);

    player_.SetGroupMs(groupSeconds_->value() * 1000);
    player_.SetSpeed(speed_->currentData().toDouble());
    connect(play_, &QPushButton::clicked, this, [this] {
        player_.SetPlaying(!player_.Playing());
        UpdatePlayButton();
    });
    connect(groups_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != player_.Group()) player_.Jump(row);
    });
    connect(speed_, &QComboBox::currentIndexChanged, this, [this] {
        player_.SetSpeed(speed_->currentData().toDouble());
        StoreSettings();
    });
    connect(groupSeconds_, &QSpinBox::valueChanged, this, [this](int s) {
        player_.SetGroupMs(s * 1000);
        StoreSettings();
    });
    for (QSpinBox* box : {columnsPerTurn_, scrollSpeed_})
        connect(box, &QSpinBox::valueChanged, this, [this] { StoreSettings(); });
    connect(turnSeconds_, &QDoubleSpinBox::valueChanged, this, [this] { StoreSettings(); });
    connect(views_, &QTabWidget::currentChanged, this, [this] { StoreSettings(); });
    connect(layers_, &QComboBox::currentIndexChanged, this, [this] {
        StoreSettings();
        CompileOtherLayer();
        UpdateShown();
    });

    // A compile replaces data.bin by renaming a new file over it: the folder changes.
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Reload(); });
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &CShowWindow::Tick);
    timer_->start(16);
    clock_.start();
    UpdatePlayButton();
}

CShowWindow::~CShowWindow() = default;

void CShowWindow::SetBall(const BallConfig& ball) {
    // A double ball's layer changes only which layer data.bin is tried for first.
    const bool changed = ball.ballType != ball_.ballType || !shows_[size_t(dataLayer_)];
    ball_ = ball;
    choices_->setRowVisible(layers_, ball.ballType == 2);
    if (changed) {
        dataStamp_ = -1;
        otherStamp_ = -1;
        Reload();
    }
}

void CShowWindow::Reload() {
    const QString path = doc_.DataFilePath();
    if (path != watchedData_) {
        if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
        if (!path.isEmpty()) watcher_->addPath(QFileInfo(path).absolutePath());
        watchedData_ = path;
        dataStamp_ = -1;
        otherStamp_ = -1;
    }
    const QFileInfo info(path);
    const qint64 stamp =
        info.exists() ? info.lastModified().toMSecsSinceEpoch() ^ (info.size() << 20) : 0;
    if (stamp == dataStamp_) return;
    dataStamp_ = stamp;
    std::optional<CShow> show;
    int layer = ball_.ballType == 2 ? ball_.layer : 0;
    QString why;
    if (path.isEmpty() || !info.exists()) {
        why = tr("尚未编译：请先编译数据。");
    } else if (const std::optional<QByteArray> data = ReadWholeFile(path, 64 << 20, &why)) {
        show = CShow::Read(*data, ball_, &why);
        // A double-layer ball's data.bin holds whichever layer was compiled last.
        if (!show && ball_.ballType == 2) {
            show = CShow::Read(*data, BallConfig{2, 1 - layer}, nullptr);
            if (show) layer = 1 - layer;
        }
    }
    // The other layer shown so far stays until its compile for this data is done.
    if (show) {
        shows_[size_t(layer)] = std::move(show);
        dataLayer_ = layer;
        if (ball_.ballType != 2) shows_[1].reset();
    } else {
        shows_ = {};
        compiler_->Cancel();
    }
    status_->setProperty("problem", shows_[size_t(layer)] ? QString() : why);
    CompileOtherLayer();
    UpdateShown();
}

CShowWindow::Layers CShowWindow::ShownLayers() const {
    return static_cast<Layers>(layers_->currentData().toInt());
}

void CShowWindow::SetLayers(Layers layers) {
    layers_->setCurrentIndex(std::max(0, layers_->findData(int(layers))));
}

const CShow* CShowWindow::Show() const {
    const auto shown = [this](int layer) {
        return shows_[size_t(layer)] ? &*shows_[size_t(layer)] : nullptr;
    };
    if (ball_.ballType != 2) return shown(0);
    switch (ShownLayers()) {
        case Layers::Outer:
            return shown(0);
        case Layers::Inner:
            return shown(1);
        case Layers::Both:
            break;
    }
    return shown(0) ? shown(0) : shown(1);
}

const CShow* CShowWindow::InsideShow() const {
    if (ball_.ballType != 2 || ShownLayers() != Layers::Both || !shows_[0] || !shows_[1])
        return nullptr;
    return &*shows_[1];
}

// Starts the compile of the layer data.bin does not hold, when it is shown
// and not compiled yet after this data.bin. It is compiled from the project
// as it is now, into the window's own folder.
void CShowWindow::CompileOtherLayer() {
    if (ball_.ballType != 2) compiler_->Cancel();
    if (ball_.ballType != 2 || !shows_[size_t(dataLayer_)] || !doc_.ProjectFile()) return;
    const int other = 1 - dataLayer_;
    const Layers shown = ShownLayers();
    const bool wanted = shown == Layers::Both || (shown == Layers::Inner) == (other == 1);
    if (!wanted || otherStamp_ == dataStamp_) return;
    if (!compiled_) compiled_ = std::make_unique<QTemporaryDir>();
    if (!compiled_->isValid()) {
        layerProblem_ = compiled_->errorString();
        return;
    }
    otherStamp_ = dataStamp_;
    layerProblem_.clear();
    compiler_->Start(
        doc_, BallConfig{2, other},
        compiled_->filePath(other ? QStringLiteral("inner.bin") : QStringLiteral("outer.bin")));
}

void CShowWindow::TakeCompiledLayer(bool ok) {
    const int layer = compiler_->Ball().layer;
    // data.bin may hold that layer by now: its own show stays.
    if (ball_.ballType == 2 && layer != dataLayer_) {
        if (ok)
            shows_[size_t(layer)] = std::move(compiler_->Result());
        else
            layerProblem_ = compiler_->Problem();
        UpdateShown();
    }
    emit layerCompiled(ok);
}

void CShowWindow::UpdateShown() {
    player_.SetShow(Show());
    UpdateGroupList();
    update();
}

int CShowWindow::ColumnsPerTurn() const { return columnsPerTurn_->value(); }

double CShowWindow::TurnDeg() const {
    const double turnMs = turnSeconds_->value() * 1000;
    return std::fmod(static_cast<double>(player_.ShowMs()), turnMs) / turnMs * 360.0;
}

long long CShowWindow::Scroll() const { return player_.GroupMs() * scrollSpeed_->value() / 1000; }

QString CShowWindow::StatusText() const {
    QString layerNote;
    if (compiler_->Running())
        layerNote = compiler_->Ball().layer ? tr("正在编译内层……") : tr("正在编译外层……");
    else if (!layerProblem_.isEmpty())
        layerNote = (compiler_->Ball().layer ? tr("内层编译失败：%1") : tr("外层编译失败：%1"))
                        .arg(layerProblem_);
    const CShow* show = Show();
    if (!show) {
        const QString problem = status_->property("problem").toString();
        return problem.isEmpty() ? layerNote : problem;
    }
    if (show->Empty()) return tr("编译的数据里没有群组。");
    const int g = player_.Group();
    const ShowGroup& group = show->Groups()[size_t(g)];
    QString text = tr("组 %1：%2 列，%3 个动画，放映 %4 秒")
                       .arg(g + 1)
                       .arg(group.StripAt(player_.GroupMs()).size())
                       .arg(group.animations.size())
                       .arg(player_.DurationOf(g) / 1000.0, 0, 'f', 1);
    if (doc_.NeedsCompile()) text += tr("　项目在编译后有改动，放映的是上次编译的数据。");
    if (!layerNote.isEmpty()) text += QChar(0x3000) + layerNote;  // an ideographic space
    return text;
}

void CShowWindow::Tick() {
    const qint64 elapsed = clock_.restart();
    // Where the folder cannot be watched (no inotify left), a look once a second.
    sinceLook_ += elapsed;
    if (sinceLook_ >= 1000) {
        sinceLook_ = 0;
        Reload();
    }
    const int before = player_.Group();
    player_.Advance(elapsed);
    if (player_.Group() != before && groups_->currentRow() != player_.Group())
        groups_->setCurrentRow(player_.Group());
    status_->setText(StatusText());
    views_->currentWidget()->update();
}

void CShowWindow::UpdateGroupList() {
    groups_->clear();
    const CShow* show = Show();
    if (!show) return;
    for (size_t g = 0; g < show->Groups().size(); ++g)
        groups_->addItem(tr("组 %1（%2 列）").arg(g + 1).arg(show->Groups()[g].StoredColumns()));
    groups_->setCurrentRow(player_.Group());
}

void CShowWindow::UpdatePlayButton() {
    play_->setText(player_.Playing() ? tr("暂停") : tr("播放"));
}

void CShowWindow::StoreSettings() const {
    QSettings settings = Settings();
    settings.setValue(kColumnsPerTurn, columnsPerTurn_->value());
    settings.setValue(kGroupSeconds, groupSeconds_->value());
    settings.setValue(kTurnSeconds, turnSeconds_->value());
    settings.setValue(kScrollSpeed, scrollSpeed_->value());
    settings.setValue(kSpeed, speed_->currentData().toDouble());
    settings.setValue(kView, views_->currentIndex());
    settings.setValue(kLayers, layers_->currentData().toInt());
}

}  // namespace glowdeck
