// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CViewNull.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QSpinBox>

#include "base/AccessError.h"
#include "editors/CColorComboBox.h"
#include "editors/CPictureFrame.h"
#include "led/ImageCodec.h"
#include "led/LedColours.h"
#include "led/PictureConverter.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "model/ItemTemplate.h"

namespace glowdeck {

CViewNull::CViewNull(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup,
                     QWidget* parent)
    : CItemView(doc, ItemKind::Interval, group, position, std::move(showGroup), parent) {
    setObjectName(QStringLiteral("viewNull"));
    auto* layout = new QGridLayout(this);
    AddIdRow(layout);
    sourceFrame_ = NewFrame(QStringLiteral("ORG"));
    ledFrame_ = NewFrame(QStringLiteral("LED"));
    layout->addWidget(Framed(sourceFrame_, tr("原始图像")), 1, 0);
    layout->addWidget(Framed(ledFrame_, tr("LED图像")), 2, 0);
    auto* edit = new QGroupBox(tr("编辑"), this);
    auto* eg = new QGridLayout(edit);
    colour_ = new CColorComboBox(edit);
    eg->addWidget(new QLabel(tr("背景色"), edit), 0, 0);
    eg->addWidget(colour_, 0, 1, 1, 2);
    length_ = new QSlider(Qt::Horizontal, edit);
    length_->setRange(MinIntervalLength, MaxIntervalLength);
    length_->setObjectName(QStringLiteral("length"));
    lengthText_ = SliderBox(edit, length_);
    lengthText_->setObjectName(QStringLiteral("lengthValue"));
    eg->addWidget(new QLabel(tr("长  度"), edit), 1, 0);
    eg->addWidget(length_, 1, 1);
    eg->addWidget(lengthText_, 1, 2);
    layout->addWidget(edit, 1, 1, Qt::AlignTop);
    AddInfoRows(layout);

    debounce_.setSingleShot(true);
    debounce_.setInterval(200);
    connect(&debounce_, &QTimer::timeout, this, &CViewNull::Apply);
    connect(colour_, &QComboBox::activated, this, [this] {
        background_ = colour_->Colour();
        doc_.NoteEditorChange();
        debounce_.start();
    });
    connect(length_, &QSlider::valueChanged, this, [this](int v) {
        lengthValue_ = v;
        doc_.NoteEditorChange();
        debounce_.start();
    });
    if (!Initialise()) ErrorBeeps();
}

bool CViewNull::Initialise() {
    int r = 128, g = 128, b = 128;
    try {
        const CProjectFile& file = *doc_.ProjectFile();
        ReadSource();
        background_ = static_cast<unsigned>(file.GetInt(g_, i_, "backcolor"));
        r = file.GetInt(g_, i_, "r");
        g = file.GetInt(g_, i_, "g");
        b = file.GetInt(g_, i_, "b");
        lengthValue_ = file.GetInt(g_, i_, "length");
    } catch (const AccessError&) {
        ErrorBeeps();
        lengthValue_ = 1;
    }
    (void)r, (void)g, (void)b;
    // Open: a missing blank is made in the background colour.
    if (!QFileInfo::exists(sourcePath_)) {
        QImage blank(std::max(lengthValue_, 1), 56, QImage::Format_ARGB32);
        blank.fill(ColourFromBgr(background_));
        // Shown either way; a blank that could not be written is made again
        // the next time the item is opened.
        [[maybe_unused]] const bool written =
            EncodeImage(blank, sourcePath_, QStringLiteral("image/jpeg"));
    }
    Show(sourcePath_);
    {
        const QSignalBlocker a(length_), c(colour_);
        length_->setValue(lengthValue_);
        lengthText_->setValue(lengthValue_);
        colour_->SelectColour(background_);
    }
    return true;
}

void CViewNull::Show(const QString& path) {
    const QImage picture = DecodeImage(path);
    const QSize size = picture.isNull() ? QSize(lengthValue_, 56) : picture.size();
    if (!picture.isNull() && size.height() > 0) lengthValue_ = LedWidthFor(size);
    sourceFrame_->SetImage(picture);
    ledFrame_->SetImage(MakeThumbnail(picture, std::max(lengthValue_, 1), 56));
    sourceFrame_->Fit(56);
    ledFrame_->Fit(56);
    SetInfo({tr("源图像宽度=%1").arg(size.width()), tr("源图像高度=%1").arg(size.height()),
             tr("LED图像宽度=%1").arg(lengthValue_), tr("LED图像高度=56"),
             tr("文件路径：%1").arg(path)});
}

void CViewNull::StorePending() {
    if (debounce_.isActive()) Apply();  // Apply stops the timer
}

void CViewNull::Apply() {
    debounce_.stop();
    if (!Done(item_ops::ApplyInterval(doc_, g_, i_, lengthValue_, background_))) {
        // Not stored: show the item's length and colour, not the refused ones.
        Initialise();
        return;
    }
    ++applied_;
    ReadSource();
    Show(sourcePath_);
    RefreshList();
}

}  // namespace glowdeck
