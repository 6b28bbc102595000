#pragma once
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "editors/FramePlayer.h"
#include "editors/PaintCanvas.h"

namespace glowdeck {

class CPaintWindow;
class IMessageSink;

// A picture frame of the item editors: shows one picture (or the frames of
// an animation) scaled to its height, paints with the canvas tools when
// painting is on, plays frames, and opens a paint window at double size.
class CPictureFrame : public QWidget
{
    Q_OBJECT
public:
    explicit CPictureFrame(QWidget* parent = nullptr);
    ~CPictureFrame() override;

    void SetTitle(const QString& title) { title_ = title; }
    const QString& Title() const { return title_; }
    // A picture; an animation passes its frame count and stored delays.
    void SetImage(const QImage& picture, int frameCount = 1, const std::vector<int>& delays = {});
    void SetFrames(const std::vector<QImage>& frames);
    void SetPaintingOn(bool on) { painting_ = on; }
    void SetTool(PaintTool tool);
    void SetPenSize(int size) { canvas_.SetPenSize(size); }
    void SetPenColour(unsigned bgr) { canvas_.SetPenColour(bgr); }
    // Resizes the frame to the picture at `height` pixels (plus a 4-pixel border).
    void Fit(int height);
    void OpenPaintWindow();
    bool Undo();
    bool Redo();

    // The frame player.
    bool PlayPause(IMessageSink* messages);
    bool StopPlayer();
    void ShowFrame(int index);
    void SetLoopCount(int loops) { player_.SetLoopCount(loops); }
    void SetDelayReduction(int ms) { player_.SetDelayReduction(ms); }
    const CFramePlayer& Player() const { return player_; }

    CPaintCanvas& Canvas() { return canvas_; }
    QImage CurrentImage() const { return canvas_.Shown(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class CPaintWindow;
    void PlayStep();
    void Changed();
    QImage Displayed() const;
    QPoint RasterPoint(const QPointF& p) const;

    QString title_;
    CPaintCanvas canvas_;
    CFramePlayer player_;
    std::vector<QImage> frames_;
    bool painting_ = false;
    QTimer step_;
    QPointer<CPaintWindow> window_;
};

// The paint window: the frame's picture at double size in a resizable
// window kept on top; its mouse goes to the frame's canvas.
class CPaintWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CPaintWindow(CPictureFrame& frame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Route(CPaintCanvas::Event event, QMouseEvent* mouse);
    CPictureFrame& frame_;
};

}  // namespace glowdeck
