#pragma once
#include "led/LedImageConverter.h"

namespace glowdeck {

// Turns a still picture (a picture item's source, a text item's strip, an
// interval's blank image) into a W × 56 LED image and its packed columns.
class CPictureConverter : public CLedImageConverter {
public:
    static QString PreviewFileName() { return QStringLiteral("led.bmp"); }

    CPictureConverter();

    // False when the file does not exist (or cannot be decoded). W is
    // trunc(56 × width / height); a picture 56 rows high keeps its width.
    bool LoadFile(const QString& path);
    // Loads a picture edited in memory; it is always rescaled.
    void LoadImage(const QImage& image);

    // The views' four preview rectangles; loading sets their widths.
    QRect previewRects[4];

private:
    void UpdatePreviewRects(const QSize& source);
};

// W for a source of that size: trunc(56 × width / height) in double precision.
int LedWidthFor(const QSize& source);

}  // namespace glowdeck
