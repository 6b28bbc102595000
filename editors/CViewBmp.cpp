// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CViewBmp.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/AccessError.h"
#include "base/BgrColour.h"
#include "base/MessageSink.h"
#include "editors/CPictureFrame.h"
#include "editors/PreviewWorker.h"
#include "editors/SourceDialog.h"
#include "led/ImageCodec.h"
#include "led/LedColours.h"
#include "led/PictureConverter.h"
#include "led/SourceLimits.h"
#include "led/Threshold.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"

namespace glowdeck {

CViewBmp::CViewBmp(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup, QWidget* parent)
    : CItemView(doc, ItemKind::Picture, group, position, std::move(showGroup), parent) {
    setObjectName(QStringLiteral("viewBmp"));
    auto* layout = new QGridLayout(this);
    auto* choose = new QPushButton(tr("选择图像"), this);
    AddIdRow(layout, choose);

    sourceFrame_ = NewFrame(QStringLiteral("ORG"));
    ledFrame_ = NewFrame(QStringLiteral("LED"));
    ledFrame_->SetPaintingOn(true);
    layout->addWidget(Framed(sourceFrame_, tr("原始图像")), 1, 0);
    auto* ledRow = new QHBoxLayout;
    ledRow->addWidget(Framed(ledFrame_, tr("LED图像")));
    auto* enlarge = new QPushButton(tr("大"), this);
    enlarge->setFixedSize(30, 29);
    ledRow->addWidget(enlarge, 0, Qt::AlignTop);
    ledRow->addStretch();
    layout->addLayout(ledRow, 2, 0);

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
    const char* names[] = {QT_TR_NOOP("红  色"), QT_TR_NOOP("绿  色"), QT_TR_NOOP("蓝  色")};
    for (int k = 0; k < 3; ++k) {
        cg->addWidget(new QLabel(tr(names[k]), conversion), k + 1, 0);
        sliders_[k] = new QSlider(Qt::Horizontal, conversion);
        sliders_[k]->setRange(0, 255);
        sliders_[k]->setValue(128);
        sliders_[k]->setObjectName(QStringLiteral("colour%1").arg(k));
        values_[k] = SliderBox(conversion, sliders_[k]);
        values_[k]->setObjectName(QStringLiteral("colourValue%1").arg(k));
        cg->addWidget(values_[k], k + 1, 1);
        cg->addWidget(sliders_[k], k + 1, 2);
    }
    ditherBox_ = new QCheckBox(tr("抖动"), conversion);
    ditherBox_->setObjectName(QStringLiteral("dither"));
    cg->addWidget(ditherBox_, 4, 2);
    layout->addWidget(conversion, 1, 1);

    auto* drawing = new QGroupBox(tr("绘图"), this);
    auto* dg = new QGridLayout(drawing);
    tools_ = new QButtonGroup(this);
    const char* toolNames[] = {QT_TR_NOOP("禁用"), QT_TR_NOOP("圆笔"), QT_TR_NOOP("方笔"),
                               QT_TR_NOOP("浇桶"), QT_TR_NOOP("替换")};
    for (int t = 0; t < 5; ++t) {
        auto* radio = new QPushButton(tr(toolNames[t]), drawing);
        radio->setCheckable(true);
        radio->setObjectName(QStringLiteral("tool%1").arg(t));
        tools_->addButton(radio, t);
        dg->addWidget(radio, 0, t);
    }
    tools_->setExclusive(true);
    toolNumber_ = ValueBox(drawing, 0, 100);
    toolNumber_->setObjectName(QStringLiteral("toolNumber"));
    toolNumber_->setFixedWidth(36);
    dg->addWidget(toolNumber_, 0, 5);
    auto* palette = new QGridLayout;
    palette->setSpacing(0);
    using namespace led_colour;
    const unsigned colours[] = {Black, Blue, Green, Red, Cyan, Yellow, Magenta, White};
    for (int k = 0; k < 8; ++k) {
        auto* swatch = new QPushButton(drawing);
        swatch->setFixedSize(22, 22);
        const unsigned bgr = colours[k];
        swatch->setStyleSheet(
            QStringLiteral("background-color: rgb(%1,%2,%3); border: 1px solid gray;")
                .arg(RedOf(bgr))
                .arg(GreenOf(bgr))
                .arg(BlueOf(bgr)));
        connect(swatch, &QPushButton::clicked, this, [this, bgr] { PickPaletteColour(bgr); });
        palette->addWidget(swatch, k / 4, k % 4);
    }
    dg->addLayout(palette, 1, 0, 1, 2);
    auto* replace = new QPushButton(tr("置换图片"), drawing);
    auto* undo = new QPushButton(tr("撤销"), drawing);
    auto* redo = new QPushButton(tr("重复"), drawing);
    dg->addWidget(replace, 1, 2);
    dg->addWidget(undo, 1, 3);
    dg->addWidget(redo, 1, 4);
    dg->addWidget(new QLabel(tr("笔宽"), drawing), 2, 0);
    auto* pen = new QSlider(Qt::Horizontal, drawing);
    pen->setRange(1, 10);
    pen->setValue(1);
    pen->setObjectName(QStringLiteral("penWidth"));
    auto* penValue = SliderBox(drawing, pen);
    penValue->setObjectName(QStringLiteral("penWidthValue"));
    dg->addWidget(pen, 2, 1, 1, 3);
    dg->addWidget(penValue, 2, 4);
    layout->addWidget(drawing, 2, 1);
    AddInfoRows(layout);

    debounce_.setSingleShot(true);
    debounce_.setInterval(500);
    guard_.setSingleShot(true);
    guard_.setInterval(200);
    connect(&debounce_, &QTimer::timeout, this, &CViewBmp::Settled);
    connect(&guard_, &QTimer::timeout, this, [this] { pickGuard_ = false; });
    for (int k = 0; k < 3; ++k)
        connect(sliders_[k], &QSlider::valueChanged, this, &CViewBmp::ColourChanged);
    connect(ditherBox_, &QCheckBox::toggled, this, &CViewBmp::DitherChanged);
    connect(pen, &QSlider::valueChanged, this, [this](int v) {
        ledFrame_->SetPenSize(v - 1);
        doc_.NoteEditorChange();
    });
    connect(tools_, &QButtonGroup::idClicked, this,
            [this](int t) { SelectTool(static_cast<PaintTool>(t)); });
    connect(convert, &QPushButton::clicked, this, [this] {
        if (MayDropPainting()) Convert();
    });
    connect(replace, &QPushButton::clicked, this, &CViewBmp::ReplacePicture);
    connect(undo, &QPushButton::clicked, ledFrame_, &CPictureFrame::Undo);
    connect(redo, &QPushButton::clicked, ledFrame_, &CPictureFrame::Redo);
    connect(enlarge, &QPushButton::clicked, ledFrame_, &CPictureFrame::OpenPaintWindow);
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString file = ChooseSourceFile(this, PictureFilter());
        if (!file.isEmpty()) ChoosePicture(file);
    });
    if (!Initialise()) ErrorBeeps();
}

bool CViewBmp::Initialise() {
    try {
        const CProjectFile& file = *doc_.ProjectFile();
        ReadSource();
        if (!ReadStoredSettings(&settings_)) return false;
        width_ = file.GetInt(g_, i_, "width");
        height_ = file.GetInt(g_, i_, "height");
    } catch (const AccessError&) {
        return false;
    }
    ShowSettings();
    ledFrame_->SetPenColour(0xFFFFFF);
    tools_->button(0)->setChecked(true);
    SelectTool(PaintTool::None);
    FillInfo();
    LoadSource();
    return true;
}

namespace {

// The source as the editor's frame shows it: at most twice the frame's
// height (the paint window's size) and about a million pixels, decoded at a
// reduced scale where the decoder can; transparent pixels dark.
QImage ShownSource(const QString& path, QSize size) {
    const QSize bound = size.isValid() && !size.isEmpty()
                            ? size.scaled(QSize(2400, 400), Qt::KeepAspectRatio)
                                  .expandedTo(QSize(1, 1))
                                  .boundedTo(size)
                            : QSize(2400, 400);
    // In the frames' own format: setting it on the GUI thread then converts nothing.
    return OnBlack(DecodeImageScaled(path, bound)).convertToFormat(QImage::Format_RGB888);
}

// The LED image of a source the converter could not convert: the source
// reduced to 56 rows, or one dark column for a source too wide for the index.
QImage UnconvertedLed(const QImage& shown, QSize size) {
    if (!LedWidthProblem(size).isEmpty() || shown.isNull()) return DarkLedColumn();
    return MakeThumbnail(shown, std::max(LedWidthFor(size), 1), 56);
}

}  // namespace

void CViewBmp::LoadSource() {
    // A missing source becomes the purple placeholder on disk at once.
    if (!QFileInfo::exists(sourcePath_))
        (void)item_ops::LoadOrPlaceholder(sourcePath_, width_, height_);
    const QString path = sourcePath_;
    const QSize stored(width_, height_);
    const item_ops::ConversionSettings settings = settings_;
    convertAfterChoice_ = false;
    progress_->setValue(0);
    previews_->Start([this, path, stored, settings](const std::atomic<bool>& cancelled,
                                                    const CPreviewWorker::Progress& progress) {
        Preview preview;
        preview.size = ImageFileSize(path);
        if (!preview.size.isValid()) preview.size = stored;
        preview.source = ShownSource(path, preview.size);
        if (preview.source.isNull())
            preview.source = QImage(std::max(stored.width(), 1), std::max(stored.height(), 1),
                                    QImage::Format_RGB32);
        progress(30);
        if (cancelled) return CPreviewWorker::Apply();
        CPictureConverter converter;
        if (converter.LoadFile(path)) {
            progress(60);
            converter.SetThreshold(ThresholdColour(settings.r, settings.green, settings.b));
            converter.SetDither(settings.dither);
            if (!cancelled && converter.Convert({1, 0}))
                preview.led = converter.LedImage().convertToFormat(QImage::Format_RGB888);
        }
        if (preview.led.isNull()) preview.led = UnconvertedLed(preview.source, preview.size);
        return CPreviewWorker::Apply([this, preview] { ShowPreview(preview); });
    });
}

void CViewBmp::ShowPreview(const Preview& preview, std::function<void()> then) {
    if (preview.source.isNull()) {
        ShowLed(preview.led, std::move(then));
        return;
    }
    width_ = preview.size.width();
    height_ = preview.size.height();
    ledWidth_ = LedWidthFor(preview.size);
    sourceFrame_->SetImage(preview.source);
    sourceFrame_->Fit(200);
    FillInfo();
    // The source frame is painted before the LED frame is set.
    previews_->Then(
        [this, led = preview.led, then = std::move(then)] { ShowLed(led, std::move(then)); });
}

void CViewBmp::ShowLed(const QImage& led, std::function<void()> then) {
    ledFrame_->SetImage(led);
    ledFrame_->Fit(112);
    // A finished conversion is a full bar.
    progress_->setValue(100);
    ++conversions_;
    if (then) previews_->Then(std::move(then));
}

void CViewBmp::FillInfo() {
    SetInfo({tr("源图像宽度=%1").arg(width_), tr("源图像高度=%1").arg(height_),
             tr("LED图像宽度=%1").arg(ledWidth_), tr("LED图像高度=56"),
             tr("文件路径：%1").arg(sourcePath_)});
}

void CViewBmp::Convert() {
    // A pending choice converts the chosen picture; this conversion follows it.
    if (choosing_) {
        convertAfterChoice_ = true;
        return;
    }
    const QString path = sourcePath_;
    const item_ops::ConversionSettings settings = settings_;
    progress_->setValue(0);
    previews_->Start([this, path, settings](const std::atomic<bool>& cancelled,
                                            const CPreviewWorker::Progress& progress) {
        CPictureConverter converter;
        if (!converter.LoadFile(path) || cancelled) return CPreviewWorker::Apply();
        progress(50);
        converter.SetThreshold(ThresholdColour(settings.r, settings.green, settings.b));
        converter.SetDither(settings.dither);
        if (!converter.Convert({1, 0})) return CPreviewWorker::Apply();
        Preview preview;
        preview.led = converter.LedImage().convertToFormat(QImage::Format_RGB888);
        return CPreviewWorker::Apply([this, preview] { ShowPreview(preview); });
    });
}

void CViewBmp::Settled() {
    if (!MayDropPainting()) {
        // Kept: the sliders go back to the settings the LED image shows.
        if (ReadStoredSettings(&settings_)) ShowSettings();
        return;
    }
    Convert();
    StoreColours();
}

void CViewBmp::StorePending() {
    if (!debounce_.isActive()) return;
    debounce_.stop();
    Settled();
}

bool CViewBmp::MayDropPainting() {
    // The bottom of the paint stack is the converted image: anything above
    // it is painting that a conversion would replace.
    if (ledFrame_->Canvas().UndoDepth() <= 1) return true;
    return doc_.Messages().Show(tr("未置换的绘制将丢失，是否继续？"), IMessageSink::Caption(),
                                IMessageSink::Icon::Question,
                                IMessageSink::Buttons::YesNo) == IMessageSink::Answer::Yes;
}

void CViewBmp::ColourChanged() {
    settings_.r = sliders_[0]->value();
    settings_.green = sliders_[1]->value();
    settings_.b = sliders_[2]->value();
    doc_.NoteEditorChange();
    debounce_.start();
}

void CViewBmp::DitherChanged(bool on) {
    settings_.dither = on;
    doc_.NoteEditorChange();
    debounce_.start();
}

void CViewBmp::StoreColours() {
    if (Done(item_ops::StoreSettings(doc_, g_, i_, settings_))) return;
    // Not stored: show what the item holds, not the refused settings.
    if (!ReadStoredSettings(&settings_)) return;
    ShowSettings();
    Convert();
}

void CViewBmp::ShowSettings() {
    {
        const QSignalBlocker block(ditherBox_);
        ditherBox_->setChecked(settings_.dither);
    }
    const int values[3] = {settings_.r, settings_.green, settings_.b};
    for (int k = 0; k < 3; ++k) {
        const QSignalBlocker block(sliders_[k]);
        sliders_[k]->setValue(values[k]);
        values_[k]->setValue(values[k]);
    }
}

namespace {

// Removes a prepared copy that no edit took over.
struct PreparedCopy {
    QString path;
    bool adopted = false;
    ~PreparedCopy() {
        if (!adopted && !path.isEmpty()) QFile::remove(path);
    }
};

}  // namespace

bool CViewBmp::ChoosePicture(const QString& chosen) {
    QString id, target;
    try {
        // A damaged project is refused before anything is copied into it.
        doc_.CheckItemIds();
        id = CProjectFile::GenerateId();
        target = doc_.SourceImagePathFor(kind_, id);
    } catch (const AccessError& e) {
        Done(EditResult::Failed(DamagedProjectText(e)));
        return false;
    }
    const item_ops::ConversionSettings settings = settings_;
    choosing_ = true;
    convertAfterChoice_ = false;
    progress_->setValue(0);
    previews_->Start(
        [this, chosen, id, target, settings](const std::atomic<bool>& cancelled,
                                             const CPreviewWorker::Progress& progress) {
            // The copy goes again unless the edit on the GUI thread takes it.
            auto copy = std::make_shared<PreparedCopy>();
            copy->path = target;
            CPictureConverter converter;
            const item_ops::PreparedPicture prepared =
                item_ops::PreparePictureSource(chosen, id, target, &converter);
            if (cancelled) return CPreviewWorker::Apply();
            progress(40);
            Preview preview;
            if (prepared.copied) {
                preview.size = prepared.size;
                preview.source = ShownSource(target, prepared.size);
                if (preview.source.isNull()) preview.source = QImage(1, 1, QImage::Format_RGB32);
                progress(70);
                converter.SetThreshold(ThresholdColour(settings.r, settings.green, settings.b));
                converter.SetDither(settings.dither);
                if (!cancelled && converter.Convert({1, 0}))
                    preview.led = converter.LedImage().convertToFormat(QImage::Format_RGB888);
                if (preview.led.isNull())
                    preview.led = UnconvertedLed(preview.source, preview.size);
            }
            return CPreviewWorker::Apply([this, prepared, preview, copy] {
                copy->adopted = true;  // the edit keeps it or removes it
                if (!Done(item_ops::AdoptPictureSource(doc_, g_, i_, prepared))) {
                    // Refused: the item and its LED image stay as they were.
                    choosing_ = false;
                    progress_->setValue(100);
                    if (convertAfterChoice_) {
                        convertAfterChoice_ = false;
                        Convert();
                    }
                    return;
                }
                // The stored choice is shown in the GUI thread's next turns.
                previews_->Then([this, preview] {
                    try {
                        ReadSource();
                    } catch (const AccessError&) {
                        choosing_ = false;
                        ErrorBeeps();
                        return;
                    }
                    // Still choosing until the last turn: a conversion asked
                    // for in between follows it rather than dropping it.
                    ShowPreview(preview, [this] {
                        choosing_ = false;
                        RefreshList();
                        if (convertAfterChoice_) {
                            convertAfterChoice_ = false;
                            Convert();
                        }
                    });
                });
            });
        });
    return true;
}

void CViewBmp::ReplacePicture() {
    // The painted picture becomes the source under a fresh id; when it cannot
    // be written the item keeps its source and the painting stays on screen.
    if (!Done(item_ops::ReplacePicture(doc_, g_, i_, ledFrame_->CurrentImage()))) return;
    try {
        ReadSource();
    } catch (const AccessError&) {
        ErrorBeeps();
        return;
    }
    choosing_ = false;  // the replaced picture is the latest choice
    RefreshList();
    LoadSource();
}

void CViewBmp::PickPaletteColour(unsigned bgr) {
    pickGuard_ = true;
    ledFrame_->SetPenColour(bgr);
    ledFrame_->SetTool(tool_);
    QApplication::beep();
    guard_.start();
}

void CViewBmp::SelectTool(PaintTool tool) {
    if (pickGuard_) {
        if (QAbstractButton* b = tools_->button(static_cast<int>(tool_))) b->setChecked(true);
        return;
    }
    tool_ = tool;
    ledFrame_->SetTool(tool);
    toolNumber_->setValue(static_cast<int>(tool));
}

}  // namespace glowdeck
