// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CViewGif.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include "base/AccessError.h"
#include "base/MessageSink.h"
#include "editors/CPictureFrame.h"
#include "editors/PreviewWorker.h"
#include "editors/SourceDialog.h"
#include "led/AnimationConverter.h"
#include "led/GifReader.h"
#include "led/ImageCodec.h"
#include "led/PictureConverter.h"
#include "led/SourceLimits.h"
#include "led/Threshold.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"

namespace glowdeck {

CViewGif::CViewGif(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup, QWidget* parent)
    : CItemView(doc, ItemKind::Animation, group, position, std::move(showGroup), parent) {
    setObjectName(QStringLiteral("viewGif"));
    auto* layout = new QGridLayout(this);
    auto* choose = new QPushButton(tr("选择动画"), this);
    AddIdRow(layout, choose);
    sourceFrame_ = NewFrame(QStringLiteral("ORG"));
    ledFrame_ = NewFrame(QStringLiteral("LED"));
    layout->addWidget(Framed(sourceFrame_, tr("原始动画")), 1, 0);
    layout->addWidget(Framed(ledFrame_, tr("LED动画")), 2, 0);

    auto* playback = new QGroupBox(tr("播放控制"), this);
    auto* pg = new QGridLayout(playback);
    auto* play = new QPushButton(tr("PLAY"), playback);
    auto* stop = new QPushButton(tr("STOP"), playback);
    frameText_ = new QLineEdit(tr("帧  0/ 0"), playback);
    loopText_ = new QLineEdit(tr("次  0/ 0"), playback);
    frameText_->setReadOnly(true);
    loopText_->setReadOnly(true);
    pg->addWidget(play, 0, 0);
    pg->addWidget(stop, 0, 1);
    pg->addWidget(frameText_, 1, 0);
    pg->addWidget(loopText_, 1, 1);
    // How many frames the next chosen animation keeps: 0 its first 50, else
    // that many spread evenly over its running time.
    framesBox_ = new QSpinBox(playback);
    framesBox_->setObjectName(QStringLiteral("frameCount"));
    framesBox_->setRange(0, item_ops::MaxSampledFrames);
    framesBox_->setSpecialValueText(tr("前50帧"));
    framesBox_->setSuffix(tr(" 帧"));
    pg->addWidget(new QLabel(tr("选取帧数"), playback), 2, 0);
    pg->addWidget(framesBox_, 2, 1);
    // The stretch of a video clip the next chosen clip gives, in seconds.
    auto secondsBox = [playback](const char* name, double low, const QString& zero) {
        auto* box = new QDoubleSpinBox(playback);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(low, 86400);
        box->setDecimals(2);
        box->setSingleStep(0.5);
        box->setSuffix(tr(" 秒"));
        box->setSpecialValueText(zero);
        return box;
    };
    startBox_ = secondsBox("clipStart", 0, QString());
    durationBox_ = secondsBox("clipDuration", 0, tr("到结尾"));
    pg->addWidget(new QLabel(tr("视频起点"), playback), 3, 0);
    pg->addWidget(startBox_, 3, 1);
    pg->addWidget(new QLabel(tr("视频时长"), playback), 4, 0);
    pg->addWidget(durationBox_, 4, 1);
    layout->addWidget(playback, 1, 1, Qt::AlignTop);

    auto* conversion = new QGroupBox(tr("转换"), this);
    auto* cg = new QGridLayout(conversion);
    auto* convert = new QPushButton(tr("转换"), conversion);
    progress_ = new QProgressBar(conversion);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 100);
    previews_ = new CPreviewWorker(this);
    connect(previews_, &CPreviewWorker::Progressed, progress_, &QProgressBar::setValue);
    cg->addWidget(convert, 0, 0);
    cg->addWidget(progress_, 0, 1, 1, 2);
    const char* names[] = {QT_TR_NOOP("红  色"), QT_TR_NOOP("绿  色"), QT_TR_NOOP("蓝  色"),
                           QT_TR_NOOP("循环数"), QT_TR_NOOP("速  率")};
    const int lo[] = {0, 0, 0, 1, -500}, hi[] = {255, 255, 255, 20, 500};
    for (int k = 0; k < 5; ++k) {
        const int row = k < 3 ? k + 1 : k + 2;  // the dither box sits under the colours
        cg->addWidget(new QLabel(tr(names[k]), conversion), row, 0);
        sliders_[k] = new QSlider(Qt::Horizontal, conversion);
        sliders_[k]->setRange(lo[k], hi[k]);
        sliders_[k]->setObjectName(QStringLiteral("slider%1").arg(k));
        values_[k] = SliderBox(conversion, sliders_[k]);
        values_[k]->setObjectName(QStringLiteral("sliderValue%1").arg(k));
        cg->addWidget(values_[k], row, 1);
        cg->addWidget(sliders_[k], row, 2);
    }
    ditherBox_ = new QCheckBox(tr("抖动"), conversion);
    ditherBox_->setObjectName(QStringLiteral("dither"));
    cg->addWidget(ditherBox_, 4, 2);
    layout->addWidget(conversion, 2, 1);
    AddInfoRows(layout);

    debounce_.setSingleShot(true);
    debounce_.setInterval(500);
    connect(&debounce_, &QTimer::timeout, this, [this] {
        Convert();
        StoreAttributes();
    });
    texts_.setInterval(100);
    connect(&texts_, &QTimer::timeout, this, [this] {
        frameText_->setText(FrameText());
        loopText_->setText(LoopText());
    });
    for (int k = 0; k < 3; ++k)
        connect(sliders_[k], &QSlider::valueChanged, this, [this, k](int v) {
            (k == 0 ? settings_.r : k == 1 ? settings_.green : settings_.b) = v;
            converted_ = false;
            previews_->Cancel();  // its frames have the old colours
            progress_->setValue(0);
            doc_.NoteEditorChange();
            debounce_.start();
        });
    connect(ditherBox_, &QCheckBox::toggled, this, [this](bool on) {
        settings_.dither = on;
        converted_ = false;
        previews_->Cancel();
        progress_->setValue(0);
        doc_.NoteEditorChange();
        debounce_.start();
    });
    connect(sliders_[3], &QSlider::valueChanged, this, [this](int v) {
        settings_.loop = v;
        sourceFrame_->SetLoopCount(v);
        ledFrame_->SetLoopCount(v);
        doc_.NoteEditorChange();
        StoreAttributes();
    });
    connect(sliders_[4], &QSlider::valueChanged, this, [this](int v) {
        settings_.speed = v;
        sourceFrame_->SetDelayReduction(v);
        ledFrame_->SetDelayReduction(v);
        doc_.NoteEditorChange();
        StoreAttributes();
    });
    connect(convert, &QPushButton::clicked, this, &CViewGif::Convert);
    connect(play, &QPushButton::clicked, this, &CViewGif::Play);
    connect(stop, &QPushButton::clicked, this, &CViewGif::Stop);
    connect(choose, &QPushButton::clicked, this, [this] {
        Stop();
        const QString file = ChooseSourceFile(this, AnimationFilter());
        if (!file.isEmpty()) ChooseAnimation(file);
    });
    if (!Initialise()) ErrorBeeps();
}

bool CViewGif::Initialise() {
    try {
        const CProjectFile& file = *doc_.ProjectFile();
        ReadSource();
        if (!ReadStoredSettings(&settings_)) return false;
        width_ = file.GetInt(g_, i_, "width");
        height_ = file.GetInt(g_, i_, "height");
    } catch (const AccessError&) {
        return false;
    }
    LoadGif(sourcePath_);
    ShowSettings();
    Convert();
    return true;
}

void CViewGif::LoadGif(const QString& path) {
    first_ = item_ops::LoadOrPlaceholder(path, width_, height_);
    // A GIF's first frame as the converter composes it.
    if (const std::vector<QImage> composed = ReadComposedFrames(path, 1); !composed.empty())
        first_ = OnBlack(composed.front());
    const std::optional<GifFileInfo> info = ReadGifInfo(path);
    frameCount_ = info ? std::min(info->frameCount, 50) : 1;
    delays_ = info ? info->delays : std::vector<int>{0};
    width_ = first_.width();
    height_ = first_.height();
    ledWidth_ = LedWidthFor(QSize(width_, height_));
    sourceFrame_->SetImage(first_, frameCount_, delays_);
    // A source too wide for the index (put there by hand, or by an older
    // version) gets a dark column, not a preview of millions of columns.
    ledFrame_->SetImage(LedWidthProblem(first_.size()).isEmpty()
                            ? MakeThumbnail(first_, std::max(ledWidth_, 1), 56)
                            : DarkLedColumn(),
                        frameCount_, delays_);
    sourceFrame_->Fit(200);
    ledFrame_->Fit(112);
    FillInfo();
}

void CViewGif::FillInfo() {
    SetInfo({tr("源图像宽度=%1").arg(width_), tr("源图像高度=%1").arg(height_),
             tr("LED图像宽度=%1").arg(ledWidth_), tr("LED图像高度=56"),
             tr("文件路径：%1").arg(sourcePath_), tr("帧数=%1").arg(frameCount_)});
}

void CViewGif::Convert() {
    // A paused player still runs: its frames stay until it is stopped.
    if (converted_ || ledFrame_->Player().Running()) return;
    const QString path = sourcePath_;
    const item_ops::ConversionSettings settings = settings_;
    const QImage first = first_;
    progress_->setValue(0);
    previews_->Start([this, path, settings, first](const std::atomic<bool>& cancelled,
                                                   const CPreviewWorker::Progress& progress) {
        CAnimationConverter converter;
        if (!converter.LoadFile(path)) return CPreviewWorker::Apply();
        converter.SetThreshold(ThresholdColour(settings.r, settings.green, settings.b));
        converter.SetDither(settings.dither);
        std::vector<QImage> led, source;
        const int count = converter.FrameCount();
        for (int n = 0; n < count; ++n) {
            if (cancelled) return CPreviewWorker::Apply();
            converter.ConvertFrame(n);
            progress(std::min(100, 50 * (n + 1) / count + converter.GetProgress() / 2));
            led.push_back(converter.LedFrame().convertToFormat(QImage::Format_RGB888));
        }
        // Source frames for display, composed as the converter composes them,
        // one row shorter; a source that is no GIF shows its one picture.
        std::vector<QImage> composed = ReadComposedFrames(path, count);
        if (composed.empty()) composed.push_back(first);
        for (const QImage& frame : composed) {
            // As the ball shows them: transparent pixels dark.
            const QImage shown = OnBlack(frame);
            source.push_back(shown.copy(0, 0, shown.width(), std::max(shown.height() - 1, 1))
                                 .convertToFormat(QImage::Format_RGB888));
        }
        return CPreviewWorker::Apply([this, led, source] {
            // A player started meanwhile keeps its frames: convert after Stop.
            if (ledFrame_->Player().Running()) return;
            sourceFrame_->SetFrames(source);
            ledFrame_->SetFrames(led);
            converted_ = true;
            progress_->setValue(100);  // the last frame's count ends short of it
        });
    });
}

void CViewGif::StorePending() {
    if (!debounce_.isActive()) return;
    debounce_.stop();
    Convert();
    StoreAttributes();
}

void CViewGif::StoreAttributes() {
    if (Done(item_ops::StoreSettings(doc_, g_, i_, settings_))) return;
    // Not stored: show what the item holds, not the refused settings.
    const item_ops::ConversionSettings refused = settings_;
    if (!ReadStoredSettings(&settings_)) return;
    ShowSettings();
    // The preview was converted with the refused colours: convert it again.
    if (refused.r != settings_.r || refused.green != settings_.green || refused.b != settings_.b ||
        refused.dither != settings_.dither) {
        converted_ = false;
        Convert();
    }
}

void CViewGif::ShowSettings() {
    {
        const QSignalBlocker block(ditherBox_);
        ditherBox_->setChecked(settings_.dither);
    }
    const int values[5] = {settings_.r, settings_.green, settings_.b, Loops(), Speed()};
    for (int k = 0; k < 5; ++k) {
        const QSignalBlocker block(sliders_[k]);
        sliders_[k]->setValue(values[k]);
        values_[k]->setValue(values[k]);
    }
    for (CPictureFrame* f : {sourceFrame_, ledFrame_}) {
        f->SetLoopCount(Loops());
        f->SetDelayReduction(Speed());
    }
}

bool CViewGif::ChooseAnimation(const QString& chosen) {
    QString notice;
    const ClipWindow window{startBox_->value(), durationBox_->value()};
    if (!Done(item_ops::SetAnimationSource(doc_, g_, i_, chosen, framesBox_->value(), &notice,
                                           window)))
        return false;
    if (!notice.isEmpty())
        doc_.Messages().Show(notice, IMessageSink::Caption(), IMessageSink::Icon::Information);
    try {
        ReadSource();
    } catch (const AccessError&) {
        ErrorBeeps();
        return false;
    }
    LoadGif(sourcePath_);
    RefreshList();
    converted_ = false;
    progress_->setValue(0);
    Convert();
    return true;
}

void CViewGif::Play() {
    sourceFrame_->PlayPause(&doc_.Messages());
    if (converted_) ledFrame_->PlayPause(nullptr);
    texts_.start();
}

void CViewGif::Stop() {
    sourceFrame_->StopPlayer();
    ledFrame_->StopPlayer();
}

QString CViewGif::FrameText() const {
    return tr("帧 %1/%2")
        .arg(sourceFrame_->Player().CurrentFrame() + 1, 2)
        .arg(sourceFrame_->Player().FrameCount(), 2);
}

QString CViewGif::LoopText() const {
    return tr("次 %1/%2").arg(sourceFrame_->Player().LoopCounter(), 2).arg(Loops(), 2);
}

}  // namespace glowdeck
