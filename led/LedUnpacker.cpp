// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/LedUnpacker.h"

namespace glowdeck {

QImage UnpackColumns(const QByteArray& data, long long offset, int columns, LedTable table) {
    QImage image(std::max(columns, 0), LedRows, QImage::Format_RGB32);
    image.fill(Qt::black);
    const auto [order, channels, columnBytes] = LayoutOf(table);
    for (int x = 0; x < columns; ++x) {
        const long long start = offset + static_cast<long long>(x) * columnBytes;
        if (start < 0 || start + columnBytes > data.size()) break;
        const auto* column = reinterpret_cast<const unsigned char*>(data.constData() + start);
        for (int y = 0; y < LedRows; ++y) {
            int value[3] = {0, 0, 0};
            for (int c = 0; c < channels; ++c) {
                const int p = order[channels * y + c] - 1;
                value[c] = (column[p / 8] & (1u << (p % 8))) ? 0 : 255;
            }
            image.setPixel(x, y, qRgb(value[0], value[1], value[2]));
        }
    }
    return image;
}

}  // namespace glowdeck
