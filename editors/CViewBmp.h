// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTimer>
#include <functional>

#include "editors/CItemView.h"
#include "paint/PaintCanvas.h"

class QButtonGroup;
class QCheckBox;
class QProgressBar;
class QSlider;
class QSpinBox;

namespace glowdeck {

class CPreviewWorker;

// The picture item's editor: source picture and LED image side by side, the
// three colour parameters with live conversion, the paint tools on the LED
// image, and "置换图片" to make the retouched image the source.
class CViewBmp : public CItemView {
    Q_OBJECT
public:
    CViewBmp(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup,
             QWidget* parent = nullptr);

    // "选择图像" with the file already picked: checks and copies it and
    // converts its preview on a worker thread, then stores the choice; false
    // when nothing was started. A later choice or conversion supersedes it.
    bool ChoosePicture(const QString& file);
    // Converts the LED image on a worker thread; the result replaces it
    // when no newer conversion was started meanwhile.
    void Convert();
    void ReplacePicture();  // "置换图片"
    void PickPaletteColour(unsigned bgr);
    void SelectTool(PaintTool tool);
    // Conversions whose result was shown.
    int Conversions() const { return conversions_; }
    CPreviewWorker* Previews() const { return previews_; }
    PaintTool Tool() const { return tool_; }
    CPictureFrame* LedFrame() const { return ledFrame_; }
    CPictureFrame* SourceFrame() const { return sourceFrame_; }
    void StorePending() override;

private:
    bool Initialise();
    void Settled();  // the sliders' quiet time is over: convert and store
    // Shows the item's source and converts it, on the worker.
    void LoadSource();
    // What a preview job made: the source as the frame shows it (when
    // asked for), its size and the converted LED image.
    struct Preview {
        QImage source;
        QSize size;
        QImage led;
    };
    // Shows a finished preview in short turns of the GUI thread (called
    // from a worker's result): the source frame, then in the next turn the
    // LED frame; `then` runs in the turn after that.
    void ShowPreview(const Preview& preview, std::function<void()> then = {});
    void ShowLed(const QImage& led, std::function<void()> then);
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
    // A conversion asked for while a choice was pending, run after it.
    bool convertAfterChoice_ = false;
    bool choosing_ = false;
    PaintTool tool_ = PaintTool::None;
    bool pickGuard_ = false;
    CPreviewWorker* previews_;
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
