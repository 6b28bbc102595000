// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ExifJpeg.h"

namespace glowdeck::test {

namespace {

void U16(QByteArray& out, unsigned v) { out += char(v & 0xFF), out += char(v >> 8 & 0xFF); }
void U32(QByteArray& out, unsigned v) { U16(out, v & 0xFFFF), U16(out, v >> 16); }
void Entry(QByteArray& out, unsigned tag, unsigned type, unsigned value) {
    U16(out, tag);
    U16(out, type);
    U32(out, 1);
    if (type == 3) {
        U16(out, value);
        U16(out, 0);
    } else {
        U32(out, value);
    }
}

}  // namespace

QByteArray WithExif(QByteArray jpeg, int orientation, const QByteArray& thumbnail) {
    // Little-endian TIFF: header, IFD0 at 8 (one entry, 18 bytes), IFD1 at
    // 26 (two entries, 30 bytes), the thumbnail's bytes at 56.
    QByteArray tiff("II\x2A\0", 4);
    U32(tiff, 8);
    U16(tiff, 1);
    Entry(tiff, 0x0112, 3, static_cast<unsigned>(orientation));
    U32(tiff, thumbnail.isEmpty() ? 0 : 26);
    if (!thumbnail.isEmpty()) {
        U16(tiff, 2);
        Entry(tiff, 0x0201, 4, 56);
        Entry(tiff, 0x0202, 4, static_cast<unsigned>(thumbnail.size()));
        U32(tiff, 0);
        tiff += thumbnail;
    }
    QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    const int length = static_cast<int>(exif.size()) + 2;
    exif.prepend(QByteArray::fromHex("FFE1") + char(length >> 8) + char(length & 0xFF));
    return jpeg.insert(2, exif);
}

}  // namespace glowdeck::test
