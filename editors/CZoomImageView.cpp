// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CZoomImageView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <cmath>

namespace glowdeck {

namespace {

// A picture narrower than this is stretched sideways to it (an interval of
// one column would otherwise be a one-pixel line).
constexpr int kNarrowest = 24;
// The widest the view asks for; wider pictures scroll.
constexpr int kWidestHint = 640;

}  // namespace

CZoomImageView::CZoomImageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    viewport()->setMouseTracking(false);
}

void CZoomImageView::SetDisplayHeight(int height) {
    displayHeight_ = std::max(1, height);
    PictureChanged();
}

void CZoomImageView::SetZoom(Zoom zoom) {
    zoom_ = zoom;
    PictureChanged();
}

QSizeF CZoomImageView::Scale() const {
    if (pictureSize_.isEmpty()) return QSizeF(1, 1);
    const double w = pictureSize_.width(), h = pictureSize_.height();
    double s = 1;
    switch (zoom_) {
        case Zoom::Height:
            s = displayHeight_ / h;
            break;
        case Zoom::Fit: {
            const QSize room = maximumViewportSize();
            s = std::max(1e-3, std::min(room.width() / w, room.height() / h));
            break;
        }
        case Zoom::Actual:
            s = 1;
            break;
        case Zoom::Double:
            s = 2;
            break;
        case Zoom::Quadruple:
            s = 4;
            break;
    }
    const double sx = w * s < kNarrowest ? kNarrowest / w : s;
    return QSizeF(sx, s);
}

QSize CZoomImageView::ContentSize() const {
    const QSizeF s = Scale();
    return QSize(std::max(1, static_cast<int>(std::lround(pictureSize_.width() * s.width()))),
                 std::max(1, static_cast<int>(std::lround(pictureSize_.height() * s.height()))));
}

QPoint CZoomImageView::PicturePoint(const QPointF& p) const {
    const QSize content = ContentSize();
    const double x = p.x() + horizontalScrollBar()->value();
    const double y = p.y() + verticalScrollBar()->value();
    return QPoint(static_cast<int>(std::floor(x * pictureSize_.width() / content.width())),
                  static_cast<int>(std::floor(y * pictureSize_.height() / content.height())));
}

QPointF CZoomImageView::ViewportPoint(QPoint pixel) const {
    const QSize content = ContentSize();
    const double w = std::max(1, pictureSize_.width()), h = std::max(1, pictureSize_.height());
    return QPointF(pixel.x() * content.width() / w - horizontalScrollBar()->value(),
                   pixel.y() * content.height() / h - verticalScrollBar()->value());
}

QSize CZoomImageView::sizeHint() const {
    const QSize content = ContentSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int height =
        (zoom_ == Zoom::Fit ? displayHeight_ : std::min(content.height(), 2 * displayHeight_)) +
        (content.width() > kWidestHint ? bar : 0);
    return QSize(std::min(content.width(), kWidestHint) + 4, height + 4);
}

QSize CZoomImageView::minimumSizeHint() const {
    // A small picture is never squeezed into scroll bars; a wide one may
    // shrink to a useful strip and scroll.
    return QSize(std::min(ContentSize().width(), 160) + 4, sizeHint().height());
}

void CZoomImageView::PictureChanged() {
    const QImage picture = Picture();
    const QSize size = picture.isNull() ? QSize() : picture.size();
    pictureSize_ = size;
    // The layout hears of a new size only when there is one: frames change
    // their picture on every step of the player.
    const QSize hint = sizeHint();
    if (hint != lastHint_) {
        lastHint_ = hint;
        updateGeometry();
    }
    if (fixedHeight_) setFixedHeight(sizeHint().height());
    UpdateScrollBars();
    viewport()->update();
}

void CZoomImageView::UpdateScrollBars() {
    const QSize content = ContentSize();
    // Measured against the room without scroll bars first: bars shown once
    // would otherwise keep each other up by taking room from the picture.
    const QSize whole = maximumViewportSize();
    const bool fits = content.width() <= whole.width() && content.height() <= whole.height();
    const QSize room = fits ? whole : viewport()->size();
    horizontalScrollBar()->setPageStep(room.width());
    horizontalScrollBar()->setSingleStep(std::max(1, room.width() / 10));
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - room.width()));
    verticalScrollBar()->setPageStep(room.height());
    verticalScrollBar()->setSingleStep(std::max(1, room.height() / 10));
    verticalScrollBar()->setRange(0, std::max(0, content.height() - room.height()));
}

void CZoomImageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CZoomImageView::scrollContentsBy(int, int) { viewport()->update(); }

void CZoomImageView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QImage picture = Picture();
    if (picture.isNull()) {
        painter.fillRect(viewport()->rect(), Qt::black);
        return;
    }
    painter.fillRect(viewport()->rect(), palette().window());
    const QSize content = ContentSize();
    const QPoint origin(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const QSizeF scale = Scale();
    const int dots = DotsFrom();
    if (dots <= 0 || scale.width() < dots || scale.height() < dots) {
        // Only the visible part is scaled: a strip of thousands of columns
        // costs what the window shows.
        const QRect visible =
            event->rect().translated(-origin).intersected(QRect(QPoint(0, 0), content));
        if (visible.isEmpty()) return;
        const QPoint first = PicturePoint(visible.topLeft() + origin);
        const QPoint last = PicturePoint(visible.bottomRight() + origin);
        const QRect source = QRect(first, last).intersected(picture.rect());
        if (source.isEmpty()) return;
        const QRectF target(ViewportPoint(source.topLeft()),
                            ViewportPoint(source.bottomRight() + QPoint(1, 1)));
        painter.drawImage(target, picture, source);
        return;
    }
    // LED dots: each pixel a round light on black.
    painter.fillRect(QRect(origin, content).intersected(viewport()->rect()), Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPoint first = PicturePoint(QPointF(0, 0));
    const QPoint last = PicturePoint(QPointF(viewport()->width(), viewport()->height()));
    for (int y = std::max(0, first.y()); y <= std::min(picture.height() - 1, last.y()); ++y) {
        for (int x = std::max(0, first.x()); x <= std::min(picture.width() - 1, last.x()); ++x) {
            const QRectF cell(ViewportPoint(QPoint(x, y)), scale);
            painter.setBrush(QColor(picture.pixel(x, y)));
            painter.drawEllipse(cell.adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }
}

void CZoomImageView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (event->modifiers() & Qt::ControlModifier) {
        if (steps != 0) {
            const int next = std::clamp(static_cast<int>(zoom_) + (steps > 0 ? 1 : -1), 0,
                                        static_cast<int>(Zoom::Quadruple));
            SetZoom(static_cast<Zoom>(next));
        }
        event->accept();
        return;
    }
    // A wide strip with nothing to scroll up and down: the wheel goes sideways.
    if (verticalScrollBar()->maximum() == 0 && horizontalScrollBar()->maximum() > 0) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                        event->angleDelta().y() *
                                            horizontalScrollBar()->singleStep() / 120);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void CZoomImageView::contextMenuEvent(QContextMenuEvent* event) {
    if (RightButtonPaints() && !(event->modifiers() & Qt::ControlModifier) &&
        event->reason() == QContextMenuEvent::Mouse)
        return;
    QMenu menu(this);
    const std::pair<Zoom, QString> choices[] = {{Zoom::Fit, tr("适合窗口")},
                                                {Zoom::Height, tr("适合高度")},
                                                {Zoom::Actual, QStringLiteral("1:1")},
                                                {Zoom::Double, tr("2 倍")},
                                                {Zoom::Quadruple, tr("4 倍")}};
    for (const auto& [zoom, text] : choices) {
        QAction* action = menu.addAction(text);
        action->setCheckable(true);
        action->setChecked(zoom == zoom_);
        connect(action, &QAction::triggered, this, [this, z = zoom] { SetZoom(z); });
    }
    menu.exec(event->globalPos());
}

}  // namespace glowdeck
