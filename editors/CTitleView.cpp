// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CTitleView.h"

#include <QPainter>
#include <QRadialGradient>
#include <cmath>

#include "led/TextPainter.h"

namespace glowdeck {

CTitleView::CTitleView(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
    setAutoFillBackground(false);
}

const QImage& CTitleView::Background() {
    // A spinning ball of LED dots, drawn once.
    static const QImage image = [] {
        QImage bg(960, 600, QImage::Format_ARGB32);
        bg.fill(QColor(8, 64, 112));
        QPainter p(&bg);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF centre(700, 300);
        QRadialGradient glow(centre, 260);
        glow.setColorAt(0, QColor(40, 120, 190, 160));
        glow.setColorAt(1, QColor(8, 64, 112, 0));
        p.setBrush(glow);
        p.setPen(Qt::NoPen);
        p.drawEllipse(centre, 260, 260);
        const QColor colours[] = {QColor(255, 60, 60), QColor(60, 255, 90), QColor(80, 140, 255),
                                  QColor(255, 230, 70)};
        for (int meridian = 0; meridian < 24; ++meridian) {
            const double a = meridian * M_PI / 24;
            for (int row = 1; row < 28; ++row) {
                const double lat = -M_PI / 2 + row * M_PI / 28;
                const double x = std::cos(lat) * std::cos(a), z = std::cos(lat) * std::sin(a);
                if (z < 0) continue;
                const QPointF dot(centre.x() + 210 * x, centre.y() + 210 * std::sin(lat));
                QColor c = colours[(meridian + row) % 4];
                c.setAlpha(static_cast<int>(90 + 160 * z));
                p.setBrush(c);
                p.drawEllipse(dot, 2.2 + 1.8 * z, 2.2 + 1.8 * z);
            }
        }
        return bg;
    }();
    return image;
}

void CTitleView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(8, 64, 112));
    painter.drawImage(0, 0, Background());
    if (!title_.isEmpty())
        DrawText(painter, MakeFont(QStringLiteral("宋体"), 50),  // untranslated
                 title_, QPointF(0, 20), QColor(200, 200, 100));
}

}  // namespace glowdeck
