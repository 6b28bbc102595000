// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CColorComboBox.h"

#include <QPainter>
#include <QPixmap>

#include "led/LedColours.h"

namespace glowdeck {

CColorComboBox::CColorComboBox(QWidget* parent) : QComboBox(parent) {
    for (const NamedLedColour& colour : LedColours()) {
        QPixmap swatch(28, 14);
        swatch.fill(ColourFromBgr(colour.bgr));
        QPainter(&swatch).drawRect(0, 0, 27, 13);
        addItem(QIcon(swatch), LedColourLabel(colour), colour.bgr);
    }
    setIconSize(QSize(28, 14));
    setCurrentIndex(0);
}

unsigned CColorComboBox::Colour() const { return currentIndex() >= 0 ? currentData().toUInt() : 0; }

void CColorComboBox::SelectColour(unsigned bgr) {
    const int index = findData(bgr & 0xFFFFFF);
    if (index >= 0) setCurrentIndex(index);
}

}  // namespace glowdeck
