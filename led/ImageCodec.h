// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QSize>
#include <QString>

namespace glowdeck {

// Decodes a picture (a GIF's first frame) by its content, whatever its name
// says, as viewers show it (CImageSource: turned by its EXIF orientation). A
// null image and `error` set when it cannot be decoded or is no regular file
// (a FIFO or a device is never read).
QImage DecodeImage(const QString& path, QString* error = nullptr);

// Like DecodeImage, but lets the decoder produce a picture no larger than
// `bound` (JPEG decodes at a reduced size); the aspect ratio is kept.
QImage DecodeImageScaled(const QString& path, const QSize& bound, QString* error = nullptr);

// Pixel size of an image file as shown (its EXIF orientation applied) without
// decoding its pixels; invalid when unreadable.
QSize ImageFileSize(const QString& path);

// Encodes `image` with the encoder for `mimeType` ("image/jpeg", "image/bmp",
// "image/gif"), replacing `path` atomically. An unknown type writes nothing
// and returns false.
[[nodiscard]] bool EncodeImage(const QImage& image, const QString& path, const QString& mimeType,
                               QString* error = nullptr);

// A new image of exactly width × height made from `image`. An image with an
// alpha channel is scaled premultiplied (transparent pixels lend no colour to
// their neighbours) and laid on black, like OnBlack.
QImage MakeThumbnail(const QImage& image, int width, int height);

// An opaque image of `image` laid on black: transparent pixels become dark
// (LED off), partly transparent ones are darkened by their alpha. Images
// without an alpha channel are returned unchanged.
QImage OnBlack(const QImage& image);

}  // namespace glowdeck
