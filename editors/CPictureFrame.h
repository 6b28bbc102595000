// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPointer>
#include <QTimer>
#include <vector>

#include "editors/CZoomImageView.h"
#include "paint/FramePlayer.h"
#include "paint/PaintCanvas.h"

namespace glowdeck {

class CPaintWindow;
class IMessageSink;

// A picture frame of the item editors: shows one picture (or the frames of
// an animation) at its height with a zoom and scroll bars, paints with the
// canvas tools when painting is on, plays frames, and opens a paint window
// at double size.
class CPictureFrame : public CZoomImageView {
    Q_OBJECT
public:
    explicit CPictureFrame(QWidget* parent = nullptr);
    ~CPictureFrame() override;

    void SetTitle(const QString& title) { title_ = title; }
    const QString& Title() const { return title_; }
    // A picture; an animation passes its frame count and stored delays.
    void SetImage(const QImage& picture, int frameCount = 1, const std::vector<int>& delays = {});
    void SetFrames(const std::vector<QImage>& frames);
    void SetPaintingOn(bool on) {
        painting_ = on;
        shownStale_ = true;
    }
    bool PaintingOn() const { return painting_; }
    void SetTool(PaintTool tool);
    void SetPenSize(int size) { canvas_.SetPenSize(size); }
    void SetPenColour(unsigned bgr) { canvas_.SetPenColour(bgr); }
    // Shows the picture at `height` pixels; wider pictures scroll.
    void Fit(int height);
    // Draws the picture as LED dots when zoomed in far enough.
    void SetLedDots(bool on) { ledDots_ = on; }
    // Opens the paint window at double size within the screen's free area.
    void OpenPaintWindow();
    CPaintWindow* PaintWindow() const { return window_; }
    bool Undo();
    bool Redo();
    // Whether Undo or Redo would take a stroke back or bring one again (the
    // picture as loaded is no stroke).
    bool HasStrokeToUndo() const;
    bool HasStrokeToRedo() const;

    // The frame player.
    bool PlayPause(IMessageSink* messages);
    bool StopPlayer();
    void ShowFrame(int index);
    void SetLoopCount(int loops) { player_.SetLoopCount(loops); }
    void SetDelayReduction(int ms) { player_.SetDelayReduction(ms); }
    const CFramePlayer& Player() const { return player_; }

    // The canvas for a change from outside: what the frame shows is read
    // from it again.
    CPaintCanvas& Canvas() {
        shownStale_ = true;
        return canvas_;
    }
    QImage CurrentImage() const { return canvas_.Shown(); }
    // What the frame shows now: the player's frame when it has frames.
    QImage DisplayedImage() const { return Displayed(); }

protected:
    QImage Picture() const override { return Displayed(); }
    int DotsFrom() const override { return ledDots_ ? 4 : 0; }
    bool RightButtonPaints() const override { return painting_; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class CPaintWindow;
    void PlayStep();
    void Changed();
    // The paint window's place in `available` (a screen's free area); sets
    // its picture's height.
    QRect PaintWindowPlace(const QRect& available, int wantedHeight);
    QImage Displayed() const;
    // The canvas changed: its picture is converted again when next shown.
    void CanvasChanged() { shownStale_ = true; }
    QPoint RasterPoint(const QPointF& p) const { return PicturePoint(p); }

    QString title_;
    CPaintCanvas canvas_;
    CFramePlayer player_;
    std::vector<QImage> frames_;
    // The canvas's picture as last shown by a frame that does not paint:
    // every paint and every change of size reads the picture, and converting
    // the canvas at each read would cost a large source picture's time.
    mutable QImage shown_;
    mutable bool shownStale_ = true;
    bool painting_ = false;
    bool ledDots_ = false;
    QTimer step_;
    QPointer<CPaintWindow> window_;
};

// The paint window: the frame's picture at double size in a resizable
// window kept on top, with its own zoom and scroll bars; its mouse goes to
// the frame's canvas, and Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z step through the
// canvas's strokes.
class CPaintWindow : public CZoomImageView {
    Q_OBJECT
public:
    explicit CPaintWindow(CPictureFrame& frame);
    void Refresh() { PictureChanged(); }

protected:
    QImage Picture() const override { return frame_.Displayed(); }
    int DotsFrom() const override { return frame_.ledDots_ ? 4 : 0; }
    bool RightButtonPaints() const override { return frame_.painting_; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;  // Escape closes

private:
    void Route(CPaintCanvas::Event event, QMouseEvent* mouse);
    CPictureFrame& frame_;
};

}  // namespace glowdeck
