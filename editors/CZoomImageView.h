// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractScrollArea>
#include <QImage>

class QMenu;

namespace glowdeck {

// A picture shown at a zoom inside scroll bars, so a picture of any size
// (a text strip of thousands of columns) never makes its window grow.
//
// Zooms: "Height" (the picture at the height the editor gives it, the
// default), "Fit" (the whole picture in the visible area), and 1:1, 2x, 4x.
// Ctrl+wheel and the context menu change the zoom; the plain wheel scrolls
// a wide picture sideways. Subclasses say what to draw and get mouse
// positions mapped exactly to picture pixels at every zoom and scroll.
class CZoomImageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Zoom { Fit, Height, Actual, Double, Quadruple };

    explicit CZoomImageView(QWidget* parent = nullptr);

    // The picture's height on screen in the "Height" zoom; the view's height
    // follows it (plus room for a horizontal scroll bar).
    void SetDisplayHeight(int height);
    int DisplayHeight() const { return displayHeight_; }
    void SetZoom(Zoom zoom);
    Zoom CurrentZoom() const { return zoom_; }
    // Screen pixels per picture pixel, horizontally and vertically.
    QSizeF Scale() const;
    // The picture's size on screen.
    QSize ContentSize() const;
    // The picture pixel under a point of the viewport (may lie outside the picture).
    QPoint PicturePoint(const QPointF& viewportPoint) const;
    // The viewport point at the top-left corner of a picture pixel.
    QPointF ViewportPoint(QPoint picturePixel) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // What is shown; its size sets the content size.
    virtual QImage Picture() const = 0;
    // Draws LED dots instead of square pixels when a pixel is this many
    // screen pixels wide or more; 0 never.
    virtual int DotsFrom() const { return 0; }
    // True while the right button paints (picks colours): the zoom menu then
    // needs Ctrl.
    virtual bool RightButtonPaints() const { return false; }
    // Call when the picture or its size changed.
    void PictureChanged();
    // A view in a layout keeps the height of its picture; a window of its own
    // is resized freely.
    void SetFixedHeightToPicture(bool fixed) { fixedHeight_ = fixed; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();

    Zoom zoom_ = Zoom::Height;
    int displayHeight_ = 56;
    QSize pictureSize_;
    QSize lastHint_;
    bool fixedHeight_ = true;
};

}  // namespace glowdeck
