// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTimer>

#include "editors/CItemView.h"
#include "paint/PaintCanvas.h"

class QButtonGroup;
class QCheckBox;
class QProgressBar;
class QSlider;
class QSpinBox;

namespace glowdeck {

// The picture item's editor: source picture and LED image side by side, the
// three colour parameters with live conversion, the paint tools on the LED
// image, and "置换图片" to make the retouched image the source.
class CViewBmp : public CItemView {
    Q_OBJECT
public:
    CViewBmp(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup,
             QWidget* parent = nullptr);

    bool ChoosePicture(const QString& file);  // "选择图像" with the file already picked
    void Convert();
    void ReplacePicture();  // "置换图片"
    void PickPaletteColour(unsigned bgr);
    void SelectTool(PaintTool tool);
    int Conversions() const { return conversions_; }
    PaintTool Tool() const { return tool_; }
    CPictureFrame* LedFrame() const { return ledFrame_; }
    CPictureFrame* SourceFrame() const { return sourceFrame_; }
    void StorePending() override;

private:
    bool Initialise();
    void Settled();  // the sliders' quiet time is over: convert and store
    void LoadSource(const QString& path);
    void FillInfo();
    void ColourChanged();
    // Before a conversion replaces the LED image: true when nothing is
    // painted on it that "置换图片" has not kept, or the user lets it go.
    bool MayDropPainting();
    void DitherChanged(bool on);
    void StoreColours();  // "r", "g", "b" and "dither"
    // The sliders, their values and the dither box as settings_ says.
    void ShowSettings();

    // Colour parameters and dithering (error diffusion instead of the plain
    // threshold) as the sliders and the box show them.
    item_ops::ConversionSettings settings_;
    int width_ = 333, height_ = 250, ledWidth_ = 74;
    int conversions_ = 0;
    PaintTool tool_ = PaintTool::None;
    bool pickGuard_ = false;
    QImage source_;
    CPictureFrame* sourceFrame_;
    CPictureFrame* ledFrame_;
    QSlider* sliders_[3];
    QSpinBox* values_[3];
    QCheckBox* ditherBox_;
    QProgressBar* progress_;
    QButtonGroup* tools_;
    QSpinBox* toolNumber_;  // the selected tool's number
    QTimer debounce_;
    QTimer guard_;
};

}  // namespace glowdeck
