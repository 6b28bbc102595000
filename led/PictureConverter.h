// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "led/LedImageConverter.h"

namespace glowdeck {

// Turns a still picture (a picture item's source, a text item's strip, an
// interval's blank image) into a W × 56 LED image and its packed columns.
class CPictureConverter : public CLedImageConverter {
public:
    static QString PreviewFileName() { return QStringLiteral("led.bmp"); }

    CPictureConverter();

    // False when the file does not exist, cannot be decoded or would be
    // wider than MaxLedColumns (refused before anything is decoded); LoadError
    // says why. W is trunc(56 × width / height); a picture 56 rows high keeps
    // its width. Transparent pixels become dark.
    bool LoadFile(const QString& path);
    // Loads a picture edited in memory; it is always rescaled. A picture too
    // wide for the index leaves the converter empty.
    void LoadImage(const QImage& image);
    // Why the last LoadFile failed; empty after a success.
    const QString& LoadError() const { return loadError_; }

    // The views' four preview rectangles; loading sets their widths.
    QRect previewRects[4];

private:
    void UpdatePreviewRects(const QSize& source);
    bool Fail(const QString& reason);

    QString loadError_;
};

// W for a source of that size: trunc(56 × width / height) in double precision.
int LedWidthFor(const QSize& source);

}  // namespace glowdeck
