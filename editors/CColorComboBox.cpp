#include "editors/CColorComboBox.h"

#include <QPainter>
#include <QPixmap>

namespace glowdeck {

CColorComboBox::CColorComboBox(QWidget* parent) : QComboBox(parent) {
    const std::pair<const char*, unsigned> colours[] = {
        {"黑", 0x000000}, {"红", 0x0000FF}, {"绿", 0x00FF00}, {"黄", 0x00FFFF},
        {"蓝", 0xFF0000}, {"紫", 0xFF00FF}, {"青", 0xFFFF00}, {"白", 0xFFFFFF},
    };
    for (const auto& [name, bgr] : colours) {
        QPixmap swatch(28, 14);
        swatch.fill(QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
        QPainter(&swatch).drawRect(0, 0, 27, 13);
        addItem(QIcon(swatch), QString::fromUtf8(name), bgr);
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
