// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "editors/CItemView.h"

class QButtonGroup;
class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QSlider;

namespace glowdeck {

class CColorComboBox;
class CPreviewWorker;

// The text item's editor: text, font, colours, spacing and offsets; "确定"
// renders and converts on a worker thread, then stores. A new "确定" or
// closing the editor drops a rendering still running.
class CViewTxt : public CItemView {
    Q_OBJECT
public:
    CViewTxt(CGlowdeckDoc& doc, int group, int position, ShowGroup showGroup,
             QWidget* parent = nullptr);

    void SetText(const QString& text);
    // "确定": false when the rendering cannot start (a damaged project);
    // the result is stored and shown, or said, when the worker is done.
    bool Confirm();
    CPreviewWorker* Previews() const { return previews_; }
    void SetFont(const QString& face, int pointSize, int style);
    void ChangeFont();  // "更改字体": font and text colour
    CPictureFrame* TextFrame() const { return textFrame_; }
    CPictureFrame* LedFrame() const { return ledFrame_; }
    CColorComboBox* TextColours() const { return textColour_; }
    CColorComboBox* BackColours() const { return backColour_; }
    QSlider* OffsetSlider(int k) const { return offsets_[k]; }
    QString OffsetText(int k) const;
    int FontStyle() const { return fontStyle_; }

private:
    bool Initialise();
    // What the frames show of a text image; made on any thread.
    struct Shown {
        QImage text, led;
        QSize size;  // of the stored image
        int ledWidth = 0;
    };
    // The frames' images for the stored image `picture`; `rendered`, when
    // given, is shown in the text frame instead (the strip before conversion).
    static Shown ShownText(const QImage& picture, const QImage& rendered);
    // Loads the item's text image into both frames.
    void LoadTextImage();
    // The text frame and the information, then the LED frame: a worker's
    // result is shown in two turns of the GUI thread.
    void ShowText(const Shown& shown);
    void ShowLed(const QImage& led);
    void FillInfo();
    // Drops what takes the text box past 200 characters; true when it did.
    bool KeepWithinLimit();

    QString text_, font_ = QStringLiteral("宋体");  // untranslated
    int fontSize_ = 168, fontStyle_ = 0, width_ = 74, height_ = 56, ledWidth_ = 74;
    int characters_ = 0;
    unsigned textColourValue_ = 0xFFFFFF, backColourValue_ = 0;
    CPictureFrame* textFrame_;
    CPictureFrame* ledFrame_;
    QPlainTextEdit* edit_;
    QLineEdit* face_;
    CColorComboBox* textColour_;
    CColorComboBox* backColour_;
    QButtonGroup* spacing_;
    QSlider* offsets_[4];  // vertical, Chinese, English, punctuation
    QDoubleSpinBox* offsetTexts_[4];
    CPreviewWorker* previews_;
    QProgressBar* progress_;
};

}  // namespace glowdeck
