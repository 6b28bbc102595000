// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CItemView.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QThread>

#include "base/AccessError.h"
#include "base/MessageSink.h"
#include "editors/CPictureFrame.h"
#include "model/GlowdeckDoc.h"

namespace glowdeck {

CItemView::CItemView(CGlowdeckDoc& doc, ItemKind kind, int group, int position, ShowGroup showGroup,
                     QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      kind_(kind),
      g_(group),
      i_(position),
      showGroup_(std::move(showGroup)) {
    id_ = new QLineEdit(this);
    id_->setReadOnly(true);
    id_->setObjectName(QStringLiteral("itemId"));
    info_ = new QListWidget(this);
    info_->setObjectName(QStringLiteral("info"));
    info_->setSortingEnabled(true);
    info_->setMaximumHeight(120);
}

void CItemView::ReadSource() {
    id_->setText(doc_.ProjectFile()->ItemId(g_, i_));
    // Only this item's id changed here: the other items' paths stand.
    doc_.RebuildPathTables(g_, i_);
    sourcePath_ = doc_.SourceImagePathFor(kind_, id_->text());
}

CPictureFrame* CItemView::NewFrame(const QString& title) {
    auto* frame = new CPictureFrame(this);
    frame->SetTitle(title);
    frame->SetLedDots(title == QLatin1String("LED"));
    return frame;
}

void CItemView::AddInfoRows(QGridLayout* layout) {
    layout->addWidget(new QLabel(tr("图像信息"), this), 3, 0);
    layout->addWidget(info_, 4, 0, 1, 2);
    layout->setRowStretch(5, 1);
    layout->setColumnStretch(0, 1);
}

void CItemView::ErrorBeeps() {
    QApplication::beep();
    QThread::msleep(1);
    QApplication::beep();
}

bool CItemView::Done(const EditResult& result) {
    if (result) {
        emit Stored();
        return true;
    }
    ErrorBeeps();
    doc_.Messages().Warn(result.message);
    return false;
}

bool CItemView::ReadStoredSettings(item_ops::ConversionSettings* settings) const {
    try {
        *settings = item_ops::ReadSettings(*doc_.ProjectFile(), g_, i_);
        return true;
    } catch (const AccessError&) {
        return false;
    }
}

void CItemView::SetInfo(const QStringList& lines) {
    info_->clear();
    info_->addItems(lines);
}

void CItemView::RefreshList() const {
    if (showGroup_) showGroup_(g_ + 1);
}

QWidget* CItemView::Framed(CPictureFrame* frame, const QString& label) {
    auto* box = new QWidget(this);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    QString vertical;
    for (const QChar c : label) vertical += QString(c) + QLatin1Char('\n');
    auto* text = new QLabel(vertical.trimmed(), box);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    layout->addWidget(frame, 0, Qt::AlignLeft | Qt::AlignVCenter);
    layout->addStretch();
    return box;
}

void CItemView::AddIdRow(QGridLayout* layout, QPushButton* button) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("图像文件ID："), this));
    row->addWidget(id_, 1);
    if (button) row->addWidget(button);
    layout->addLayout(row, 0, 0, 1, 2);
}

QSpinBox* CItemView::ValueBox(QWidget* parent, int low, int high) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setReadOnly(true);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    return box;
}

QSpinBox* CItemView::SliderBox(QWidget* parent, QSlider* slider) {
    auto* box = new QSpinBox(parent);
    box->setRange(slider->minimum(), slider->maximum());
    box->setValue(slider->value());
    // A number counts when it is confirmed (Enter, leaving the box), not at
    // every digit typed.
    box->setKeyboardTracking(false);
    connect(slider, &QSlider::rangeChanged, box, &QSpinBox::setRange);
    connect(slider, &QSlider::valueChanged, box, &QSpinBox::setValue);
    connect(box, &QSpinBox::valueChanged, slider, &QSlider::setValue);
    return box;
}

}  // namespace glowdeck
