// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CGlowdeckView.h"

#include <QPainter>

namespace glowdeck {

CGlowdeckView::CGlowdeckView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGlowdeckView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Colour());
}

}  // namespace glowdeck
