// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>

namespace glowdeck {

// Decodes with libpng the PNGs Qt's own reader gets wrong: 16-bit grey or
// RGB pictures with a tRNS colour (Qt takes their alpha from the blue
// channel and leaves the transparent colour opaque). The result is 8 bits a
// channel (rounded) with the transparent colour's pixels at alpha 0.
class CPngDecoder {
public:
    CPngDecoder();
    ~CPngDecoder();
    CPngDecoder(const CPngDecoder&) = delete;
    CPngDecoder& operator=(const CPngDecoder&) = delete;

    // Reads the header from `device` (positioned at the file's start). True
    // when this decoder takes the file; otherwise the device is back at the
    // start for another reader, and HeaderError() says what libpng found
    // wrong, if anything.
    bool Open(QIODevice* device);
    QSize Size() const { return size_; }
    // The whole picture; null with `error` set when its data is damaged.
    QImage Read(QString* error);
    const QString& HeaderError() const { return headerError_; }

private:
    struct State;
    std::unique_ptr<State> state_;
    QSize size_;
    QString headerError_;
};

}  // namespace glowdeck
