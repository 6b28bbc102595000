// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>
#include <optional>

#include "led/JpegDecoder.h"
#include "led/PngDecoder.h"
#include "led/SourceFile.h"

namespace glowdeck {

// A still picture (or a GIF's first frame) read as every viewer shows it:
// turned by its EXIF orientation, top-down BMPs upright, 16-bit PNGs with a
// transparent colour transparent. JPEGs decode from memory with libjpeg where
// that gives QImageReader's pixels; the rest goes to QImageReader. Every
// failure has a reason that says what is wrong with the file.
class CImageSource {
public:
    // Opens the file and reads its header, nothing more. False with Error()
    // set when it is no regular file, no picture or its header is damaged.
    bool Open(const QString& path);
    // The size as shown (a quarter turn swaps the stored width and height).
    QSize Size() const { return size_; }
    // Decodes once, smoothly reduced or enlarged to `scaled` (a shown size;
    // invalid: the full size). Null with Error() set when the data is damaged.
    QImage Read(const QSize& scaled);
    const QString& Error() const { return error_; }

private:
    bool Fail(const QString& reason);
    QImageReader& Reader();
    QString ReaderProblem();

    CSourceFile file_;
    CJpegDecoder jpeg_;
    CPngDecoder png_;
    std::optional<QImageReader> reader_;
    enum class Path { None, Jpeg, Png, Reader } path_ = Path::None;
    // The format named by the first bytes ("JPEG", "PNG"...), for messages.
    QString kind_;
    // A BMP's size from its own header: Qt gives a top-down one a negative height.
    QSize bmpSize_;
    bool turned_ = false;
    QSize size_;
    QString error_;
};

}  // namespace glowdeck
