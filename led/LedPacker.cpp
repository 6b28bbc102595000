// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/LedPacker.h"

#include <cstring>

namespace glowdeck {

LedTable PictureTable(const BallConfig& ball) {
    if (ball.TwoChannel()) return LedTable::Inner;
    return ball.ballType == 2 ? LedTable::Outer : LedTable::Single;
}

void PackLedImage(const QImage& source, int frame, std::uint8_t* buffer, LedTable table,
                  bool clearFirst, const std::function<void(int)>& onColumn) {
    const int width = source.width();
    const int rows = std::min(source.height(), LedRows);
    const auto [order, channels, columnBytes] = LayoutOf(table);
    // A picture with no columns may come with no buffer at all (an empty
    // vector's null data): memset on a null pointer is undefined even for 0 bytes.
    if (clearFirst && width > 0)
        std::memset(buffer, 0, static_cast<size_t>(width) * BufferColumnBytes);
    const QImage image =
        source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32
            ? source
            : source.convertToFormat(QImage::Format_ARGB32);
    std::uint8_t* base = buffer + static_cast<size_t>(frame) * width * columnBytes;
    for (int x = 0; x < width; ++x) {
        std::uint8_t* column = base + static_cast<size_t>(x) * columnBytes;
        for (int y = 0; y < rows; ++y) {
            const QRgb pixel = reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
            const int values[3] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
            for (int c = 0; c < channels; ++c) {
                if (values[c] != 0) continue;
                const int p = order[channels * y + c] - 1;
                column[p / 8] |= static_cast<std::uint8_t>(1u << (p % 8));
            }
        }
        if (onColumn) onColumn(x);
    }
}

}  // namespace glowdeck
