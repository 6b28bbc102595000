// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTimer>

#include "editors/CItemView.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QProgressBar;
class QSlider;
class QSpinBox;

namespace glowdeck {

class CPreviewWorker;

// The animation item's editor: source and LED animations played side by
// side, colour parameters, loop count and speed.
class CViewGif : public CItemView {
    Q_OBJECT
public:
    CViewGif(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup,
             QWidget* parent = nullptr);

    // Takes `file` as the item's animation, with as many frames as the
    // frame-count field says (of a video, the stretch the start and duration
    // fields say); a GIF cut to its first 50 frames says so once.
    bool ChooseAnimation(const QString& file);
    // Converts the frames on a worker thread; Converted() once they are
    // shown. A newer conversion or choice supersedes a running one.
    void Convert();
    void Play();
    void Stop();
    int FrameCount() const { return frameCount_; }
    bool Converted() const { return converted_; }
    CPreviewWorker* Previews() const { return previews_; }
    QString FrameText() const;
    QString LoopText() const;
    CPictureFrame* SourceFrame() const { return sourceFrame_; }
    CPictureFrame* LedFrame() const { return ledFrame_; }
    void StorePending() override;

private:
    bool Initialise();
    void LoadGif(const QString& path);
    void FillInfo();
    void StoreAttributes();  // "r", "g", "b", "loop", "speed" and "dither"
    // The sliders, their values, the dither box and the players' loop count
    // and speed as settings_ says.
    void ShowSettings();
    int Loops() const { return settings_.loop.value_or(0); }
    int Speed() const { return settings_.speed.value_or(0); }

    // Colour parameters, dithering (error diffusion instead of the plain
    // threshold), loop count and speed as the controls show them.
    item_ops::ConversionSettings settings_{128, 128, 128, false, 1, 0};
    int width_ = 333, height_ = 250, ledWidth_ = 74, frameCount_ = 0;
    bool converted_ = false;
    std::vector<int> delays_;
    QImage first_;
    CPreviewWorker* previews_;
    CPictureFrame* sourceFrame_;
    CPictureFrame* ledFrame_;
    QSlider* sliders_[5];  // red, green, blue, loop, speed
    QSpinBox* values_[5];
    QCheckBox* ditherBox_;
    QSpinBox* framesBox_;
    QDoubleSpinBox* startBox_;     // a video's start, seconds
    QDoubleSpinBox* durationBox_;  // and its duration, 0 to its end
    QProgressBar* progress_;
    QLineEdit* frameText_;
    QLineEdit* loopText_;
    QTimer debounce_;
    QTimer texts_;
};

}  // namespace glowdeck
