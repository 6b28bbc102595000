// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>

namespace glowdeck {

// Decodes a JPEG file with libjpeg from the whole file in memory, which is
// markedly faster than QImageReader's small-chunk reading, and gives the very
// pixels QImageReader gives for the same scaled size: the same libjpeg scale,
// IDCT and upsampling, then the same smooth scaling to the exact size.
//
// Like QImageReader with autoTransform on, it turns the picture by its EXIF
// orientation (tag 0x0112 in the APP1 "Exif" block): sizes are those of the
// picture as shown.
//
// It takes only what it can decode exactly like that: baseline or progressive
// JPEGs in grayscale, YCbCr or RGB whose EXIF block, if any, it can read.
// Open() refuses everything else (other formats, CMYK and YCCK, damaged EXIF
// blocks, files too large to read whole) and Read() returns a null image for
// anything libjpeg fails or even warns on; callers then decode with
// QImageReader, which gives its usual result and error.
class CJpegDecoder {
public:
    CJpegDecoder();
    ~CJpegDecoder();
    CJpegDecoder(const CJpegDecoder&) = delete;
    CJpegDecoder& operator=(const CJpegDecoder&) = delete;

    // Reads the file and its header. False when this decoder does not take
    // the file; nothing is decoded yet.
    bool Open(const QString& path);
    // The picture's full size as shown (a quarter turn swaps the stored
    // width and height); valid after a successful Open.
    QSize Size() const;
    // Decodes the opened file as QImageReader with autoTransform does after
    // setScaledSize(the stored-orientation form of `scaled`): `scaled` is a
    // shown size, an invalid one decodes at full size. Null when the decoder
    // gives up; the file is then closed either way.
    QImage Read(const QSize& scaled);
    // A small picture of the opened file, as shown, for a thumbnail of at
    // least `atLeast` (a shown size): the EXIF block's embedded thumbnail
    // when it has one that large (turned by the photo's orientation), else
    // the file decoded at the smallest libjpeg scale (1/8 to 8/8) that gives
    // at least that size. Its shape is the picture's; the caller scales it
    // to the exact size. Null when the decoder gives up; the file is then
    // closed either way.
    QImage ReadThumbnail(const QSize& atLeast);

private:
    struct State;
    static QImage Decode(State& state, int scaleNum, const QSize& exact);
    std::unique_ptr<State> state_;
};

// Whether EXIF orientation 1-8 turns the picture by a quarter (5 to 8).
bool QuarterTurned(int orientation);
// `image` as EXIF `orientation` says it is shown: 2 mirrored, 3 turned by
// 180°, 4 flipped, 5 transposed, 6 turned clockwise, 7 transversed, 8 turned
// anticlockwise; any other value leaves it unchanged.
QImage Oriented(QImage image, int orientation);

}  // namespace glowdeck
