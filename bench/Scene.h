// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

// A photograph-like picture for the benchmarks: a gradient with bright
// discs, different for every seed, that compresses and converts like a photo.
inline QImage Scene(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, w, h);
    gradient.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 200, 250));
    gradient.setColorAt(1, QColor::fromHsv(seed * 91 % 360, 255, 90));
    p.fillRect(image.rect(), gradient);
    p.setBrush(QColor::fromHsv(seed * 53 % 360, 255, 255));
    for (int k = 0; k < 12; ++k)
        p.drawEllipse(QPoint((seed * 97 + k * 131) % w, (k * 71) % h), w / 10, h / 10);
    return image;
}
