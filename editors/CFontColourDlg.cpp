// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CFontColourDlg.h"

#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "editors/CColorComboBox.h"

namespace glowdeck {

CFontColourDlg::CFontColourDlg(const QFont& initial, unsigned colour, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("字体"));
    auto* layout = new QVBoxLayout(this);
    // The chooser is embedded as a plain widget; this dialog owns the buttons.
    fonts_ = new QFontDialog(initial, this);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog |
                       QFontDialog::ScalableFonts);
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setSizeGripEnabled(false);
    fonts_->setCurrentFont(initial);
    presetShown_ = fonts_->currentFont();
    layout->addWidget(fonts_);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(tr("颜色"), this));
    colours_ = new CColorComboBox(this);
    colours_->setObjectName(QStringLiteral("fontColour"));
    colours_->SelectColour(colour);
    colourRow->addWidget(colours_);
    colourRow->addStretch();
    layout->addLayout(colourRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QFont CFontColourDlg::SelectedFont() const { return fonts_->currentFont(); }

unsigned CFontColourDlg::Colour() const { return colours_->Colour(); }

}  // namespace glowdeck
