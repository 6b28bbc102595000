// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QComboBox>

namespace glowdeck {

// The eight ball colours with one-character names: 黑 红 绿 黄 蓝 紫 青 白,
// as 0x00BBGGRR values. The first entry is selected at the start.
class CColorComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CColorComboBox(QWidget* parent = nullptr);
    // The selected colour (black when nothing is selected).
    unsigned Colour() const;
    // Selects the entry of exactly that colour; nothing changes when none has it.
    void SelectColour(unsigned bgr);
};

}  // namespace glowdeck
