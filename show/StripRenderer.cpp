// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/StripRenderer.h"

#include "led/LedOrder.h"

namespace glowdeck {

namespace {

QRgb ColourOfIndex(int index) {
    if (index == 0) return qRgb(36, 36, 36);
    return qRgb(index & 1 ? 255 : 0, index & 2 ? 255 : 0, index & 4 ? 255 : 0);
}

}  // namespace

QRgb CStripRenderer::DotColour(QRgb led) { return ColourOfIndex(LedColourIndex(led)); }

CStripRenderer::CStripRenderer(int pitch) : pitch_(std::max(1, pitch)) {
    for (int k = 0; k < 8; ++k) {
        QImage dot(pitch_, pitch_, QImage::Format_RGB32);
        dot.fill(Qt::black);
        if (pitch_ < 3) {
            dot.fill(ColourOfIndex(k));
        } else {
            // A gap of a fifth of the pitch between neighbouring dots.
            QPainter painter(&dot);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(ColourOfIndex(k)));
            const qreal d = pitch_ * 0.8;
            painter.drawEllipse(QRectF((pitch_ - d) / 2, (pitch_ - d) / 2, d, d));
        }
        dots_[static_cast<size_t>(k)] = dot;
    }
}

void CStripRenderer::Draw(QPainter& painter, QPoint origin, const QImage& columns,
                          const std::vector<int>& strip, int first, int count) const {
    const int last = std::min<int>(first + count, static_cast<int>(strip.size()));
    for (int s = std::max(0, first); s < last; ++s) {
        const int x = origin.x() + (s - first) * pitch_;
        for (int y = 0; y < LedRows; ++y) {
            const int k = LedColourIndex(columns.pixel(strip[static_cast<size_t>(s)], y));
            painter.drawImage(x, origin.y() + y * pitch_, dots_[static_cast<size_t>(k)]);
        }
    }
}

QImage CStripRenderer::Render(const QImage& columns, const std::vector<int>& strip) const {
    QImage image(std::max<int>(1, static_cast<int>(strip.size())) * pitch_, LedRows * pitch_,
                 QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    Draw(painter, QPoint(0, 0), columns, strip, 0, static_cast<int>(strip.size()));
    return image;
}

}  // namespace glowdeck
