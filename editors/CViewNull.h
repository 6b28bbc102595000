// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTimer>

#include "editors/CItemView.h"

class QSlider;
class QSpinBox;

namespace glowdeck {

class CColorComboBox;

// The interval item's editor: background colour and length (1..300), applied
// 200 ms after the last change.
class CViewNull : public CItemView {
    Q_OBJECT
public:
    CViewNull(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup,
              QWidget* parent = nullptr);
    void Apply();
    void StorePending() override;
    QSlider* LengthSlider() const { return length_; }
    CColorComboBox* Colours() const { return colour_; }
    int Applied() const { return applied_; }

private:
    bool Initialise();
    void Show(const QString& path);

    int lengthValue_ = 1, applied_ = 0;
    unsigned background_ = 0;
    CPictureFrame* sourceFrame_;
    CPictureFrame* ledFrame_;
    CColorComboBox* colour_;
    QSlider* length_;
    QSpinBox* lengthText_;
    QTimer debounce_;
};

}  // namespace glowdeck
