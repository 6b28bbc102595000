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
// It takes only what it can decode exactly like that: baseline or progressive
// JPEGs in grayscale, YCbCr or RGB without an EXIF orientation other than
// normal. Open() refuses everything else (other formats, CMYK and YCCK, turned
// pictures, files too large to read whole) and Read() returns a null image
// for anything libjpeg fails or even warns on; callers then decode with
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
    // The picture's full size as stored; valid after a successful Open.
    QSize Size() const;
    // Decodes the opened file as QImageReader does after setScaledSize(scaled):
    // an invalid `scaled` decodes at full size. Null when the decoder gives
    // up; the file is then closed either way.
    QImage Read(const QSize& scaled);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace glowdeck
