#pragma once
#include <QTimer>

#include "editors/CItemView.h"

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QSlider;
class QSpinBox;

namespace glowdeck {

// The animation item's editor: source and LED animations played side by
// side, colour parameters, loop count and speed.
class CViewGif : public CItemView {
    Q_OBJECT
public:
    CViewGif(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup,
             QWidget* parent = nullptr);

    bool ChooseAnimation(const QString& file);
    void Convert();
    void Play();
    void Stop();
    int FrameCount() const { return frameCount_; }
    bool Converted() const { return converted_; }
    QString FrameText() const;
    QString LoopText() const;
    CPictureFrame* SourceFrame() const { return sourceFrame_; }
    CPictureFrame* LedFrame() const { return ledFrame_; }

private:
    bool Initialise();
    void LoadGif(const QString& path);
    void FillInfo();
    void StoreAttributes();  // "r", "g", "b", "loop", "speed" and "dither"
    // Reads the stored settings into the members; false for a damaged item.
    bool ReadSettings();
    // The sliders, their values, the dither box and the players' loop count
    // and speed as the members say.
    void ShowSettings();

    int red_ = 128, green_ = 128, blue_ = 128, loops_ = 1, speed_ = 0;
    int width_ = 333, height_ = 250, ledWidth_ = 74, frameCount_ = 0;
    bool converted_ = false;
    bool dither_ = false;  // error diffusion instead of the plain threshold
    std::vector<int> delays_;
    QImage first_;
    CPictureFrame* sourceFrame_;
    CPictureFrame* ledFrame_;
    QSlider* sliders_[5];  // red, green, blue, loop, speed
    QSpinBox* values_[5];
    QCheckBox* ditherBox_;
    QProgressBar* progress_;
    QLineEdit* frameText_;
    QLineEdit* loopText_;
    QTimer debounce_;
    QTimer texts_;
};

}  // namespace glowdeck
