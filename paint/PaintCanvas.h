// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QPoint>
#include <memory>
#include <optional>

namespace glowdeck {

enum class PaintTool { None = 0, RoundPen = 1, SquarePen = 2, Bucket = 3, Replace = 4 };

// The raster a picture frame shows and paints on (3 channels, blue-green-red
// order), its tools and its undo and redo stacks. UI-free: the frame widget
// and the paint window turn mouse events into these calls with points in
// raster coordinates.
class CPaintCanvas {
public:
    enum class Event { Press, Move, Release, RightPress };

    CPaintCanvas();
    ~CPaintCanvas();
    CPaintCanvas(const CPaintCanvas&) = delete;
    CPaintCanvas& operator=(const CPaintCanvas&) = delete;

    // Takes a picture: shown and work rasters, stacks emptied, the loaded
    // picture pushed as the bottom snapshot.
    void SetImage(const QImage& picture);
    bool HasPicture() const { return hasPicture_; }
    QSize Size() const;

    void SetTool(PaintTool tool) { tool_ = tool; }
    PaintTool Tool() const { return tool_; }
    void SetPenSize(int size) { penSize_ = std::max(size, 0); }
    int PenSize() const { return penSize_; }
    void SetPenColour(unsigned bgr) { penColour_ = bgr & 0xFFFFFF; }  // 0x00BBGGRR
    unsigned PenColour() const { return penColour_; }

    // The frame's own mouse: true when the picture changed.
    bool FrameEvent(Event event, QPoint point);
    // The paint window's mouse: `leftHeld` tells whether the left button is
    // down during the event; Shift fills (left) or replaces (right) whatever
    // tool is chosen.
    bool WindowEvent(Event event, QPoint point, bool leftHeld, bool shift);

    bool Undo();
    bool Redo();
    size_t UndoDepth() const;
    size_t RedoDepth() const;

    // What the frame shows, as an RGB image.
    QImage Shown() const;
    // Mouse point in a frame of `frameSize` to a raster point.
    QPoint ToRaster(QPointF point, QSizeF frameSize) const;

private:
    bool Act(QPoint point, PaintTool tool);   // runs a tool on the work raster
    void Stamp(QPoint point, PaintTool pen);  // one pen print
    void PenTo(QPoint point, PaintTool pen);  // the pen from the stroke's last point to this one
    void PickColour(QPoint point);
    void EndStroke();
    bool Inside(QPoint point) const;

    bool hasPicture_ = false;
    PaintTool tool_ = PaintTool::None;
    int penSize_ = 0;
    unsigned penColour_ = 0;
    bool roundDrawing_ = false, squareDrawing_ = false;
    std::optional<QPoint> lastPen_;  // the stroke's last pen point
    // The rasters and their stacks (OpenCV images), kept out of this header
    // so that widgets need no OpenCV.
    struct Rasters;
    std::unique_ptr<Rasters> r_;
};

}  // namespace glowdeck
