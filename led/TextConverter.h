// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "led/LedImageConverter.h"

namespace glowdeck {

class IMessageSink;

// The text view's settings for one rendering.
struct TextRenderParams {
    QString text;
    QString fontName;         // a leading "@" renders vertically
    int fontStyle = 0;        // style bits: 1 bold, 2 italic, 4 underline, 8 strike-out
    int emSize = 20;          // pixels: 4 × "fontsize" + 20
    unsigned backColour = 0;  // 0x00BBGGRR
    unsigned textColour = 255;
    bool autoSpacing = true;
    double chineseOffset = 0;  // extra advance, pixels (manual spacing)
    double englishOffset = 0;
    double symbolOffset = 0;
    double verticalOffset = 0;
};

// How a character advances in manual spacing, by its code page 936 form.
enum class CharClass { English, Chinese, ChineseSymbol };
CharClass ClassOf(char32_t c);

// Renders a text item's strip: 56 rows, as many columns as the text needs,
// text colour on background colour with every channel fully on or off. The
// strip is written as a 24-bit BMP and loaded for Convert like a picture.
class CTextConverter : public CLedImageConverter {
public:
    // False, after "无法生成此种文字！", when nothing measurable was rendered,
    // or after the write error when the strip could not be written.
    [[nodiscard]] bool RenderText(const QString& outputPath, const TextRenderParams& params,
                                  IMessageSink* messages);
    // Like CPictureConverter::LoadFile, for the strip file.
    bool LoadFile(const QString& path);

    int CharacterCount() const { return characterCount_; }
    // The full-size rendering of the last RenderText (168 rows high): the
    // text red on black.
    const QImage& MaskRendering() const { return mask_; }
    const QImage& LedColourImage() const { return ledColour_; }

    // Base-line origins of the glyphs for manual spacing.
    static std::vector<QPointF> GlyphPositions(const TextRenderParams& params);

private:
    int characterCount_ = 0;
    QImage mask_, ledColour_;
};

}  // namespace glowdeck
