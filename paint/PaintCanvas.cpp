// SPDX-License-Identifier: GPL-3.0-or-later
#include "paint/PaintCanvas.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "base/BgrColour.h"

namespace glowdeck {

namespace {
cv::Scalar Bgr(unsigned colour) {
    return cv::Scalar(BlueOf(colour), GreenOf(colour), RedOf(colour));
}

cv::Mat ToRasterImage(const QImage& picture) {
    if (picture.isNull()) return cv::Mat::zeros(56, 56, CV_8UC3);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    cv::Mat raster(rgb.height(), rgb.width(), CV_8UC3);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* in = rgb.constScanLine(y);
        uchar* out = raster.ptr<uchar>(y);
        for (int x = 0; x < rgb.width(); ++x) {
            out[3 * x + 0] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x + 0];
        }
    }
    return raster;
}

QImage FromRasterImage(const cv::Mat& raster) {
    QImage image(raster.cols, raster.rows, QImage::Format_RGB888);
    for (int y = 0; y < raster.rows; ++y) {
        const uchar* in = raster.ptr<uchar>(y);
        uchar* out = image.scanLine(y);
        for (int x = 0; x < raster.cols; ++x) {
            out[3 * x + 0] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x + 0];
        }
    }
    return image;
}

}  // namespace

struct CPaintCanvas::Rasters {
    cv::Mat work, shown;
    std::vector<cv::Mat> undo, redo;
};

CPaintCanvas::CPaintCanvas() : r_(std::make_unique<Rasters>()) {}
CPaintCanvas::~CPaintCanvas() = default;

QSize CPaintCanvas::Size() const { return QSize(r_->shown.cols, r_->shown.rows); }
size_t CPaintCanvas::UndoDepth() const { return r_->undo.size(); }
size_t CPaintCanvas::RedoDepth() const { return r_->redo.size(); }

void CPaintCanvas::SetImage(const QImage& picture) {
    hasPicture_ = !picture.isNull();
    r_->shown = ToRasterImage(picture);
    r_->work = r_->shown.clone();
    r_->undo.clear();
    r_->redo.clear();
    r_->undo.push_back(r_->shown.clone());
    roundDrawing_ = squareDrawing_ = false;
    lastPen_.reset();
}

QImage CPaintCanvas::Shown() const { return FromRasterImage(r_->shown); }

QPoint CPaintCanvas::ToRaster(QPointF point, QSizeF frameSize) const {
    if (frameSize.width() <= 0 || frameSize.height() <= 0) return QPoint(-1, -1);
    return QPoint(static_cast<int>(r_->shown.cols * point.x() / frameSize.width()),
                  static_cast<int>(r_->shown.rows * point.y() / frameSize.height()));
}

bool CPaintCanvas::Inside(QPoint p) const {
    return p.x() >= 0 && p.y() >= 0 && p.x() < r_->work.cols && p.y() < r_->work.rows;
}

void CPaintCanvas::Stamp(QPoint p, PaintTool pen) {
    const cv::Point at(p.x(), p.y());
    const cv::Scalar colour = Bgr(penColour_);
    if (pen == PaintTool::RoundPen)
        cv::circle(r_->work, at, penSize_, colour, cv::FILLED, cv::LINE_8);
    else
        cv::rectangle(r_->work, at, cv::Point(p.x() + penSize_, p.y() + penSize_), colour,
                      cv::FILLED, cv::LINE_8);
}

void CPaintCanvas::PenTo(QPoint p, PaintTool pen) {
    // The mouse reports a drag every few pixels: the pen is stamped on every
    // raster point of the line from the last point, so a stroke is unbroken.
    if (lastPen_) {
        cv::LineIterator line(cv::Point(lastPen_->x(), lastPen_->y()), cv::Point(p.x(), p.y()), 8);
        for (int k = 0; k < line.count; ++k, ++line) Stamp(QPoint(line.pos().x, line.pos().y), pen);
    } else {
        Stamp(p, pen);
    }
    lastPen_ = p;
}

bool CPaintCanvas::Act(QPoint p, PaintTool tool) {
    const cv::Point at(p.x(), p.y());
    const cv::Scalar colour = Bgr(penColour_);
    switch (tool) {
        case PaintTool::RoundPen:
            roundDrawing_ = true;
            PenTo(p, tool);
            break;
        case PaintTool::SquarePen:
            squareDrawing_ = true;
            PenTo(p, tool);
            break;
        case PaintTool::Bucket:
            if (!Inside(p)) return false;
            cv::floodFill(r_->work, at, colour, nullptr, cv::Scalar::all(0), cv::Scalar::all(0),
                          4 | cv::FLOODFILL_FIXED_RANGE);
            break;
        case PaintTool::Replace: {
            if (!Inside(p)) return false;
            const cv::Vec3b seed = r_->work.at<cv::Vec3b>(at);
            cv::Mat mask;
            cv::inRange(r_->work, cv::Scalar(seed[0], seed[1], seed[2]),
                        cv::Scalar(seed[0], seed[1], seed[2]), mask);
            r_->work.setTo(colour, mask);
            break;
        }
        case PaintTool::None:
            return false;
    }
    r_->shown = r_->work.clone();
    return true;
}

void CPaintCanvas::PickColour(QPoint p) {
    if (!Inside(p)) return;
    const cv::Vec3b c = r_->work.at<cv::Vec3b>(cv::Point(p.x(), p.y()));
    penColour_ = BgrOf(c[2], c[1], c[0]);
}

void CPaintCanvas::EndStroke() {
    roundDrawing_ = squareDrawing_ = false;
    lastPen_.reset();
    r_->undo.push_back(r_->shown.clone());
    r_->redo.clear();
}

bool CPaintCanvas::FrameEvent(Event event, QPoint p) {
    switch (event) {
        case Event::Press:
            lastPen_.reset();
            return hasPicture_ && Act(p, tool_);
        case Event::Move:
            if (roundDrawing_) return Act(p, PaintTool::RoundPen);
            if (squareDrawing_) return Act(p, PaintTool::SquarePen);
            return false;
        case Event::Release:
            if (tool_ != PaintTool::None) EndStroke();
            return false;
        case Event::RightPress:
            if (tool_ != PaintTool::None) PickColour(p);
            return false;
    }
    return false;
}

bool CPaintCanvas::WindowEvent(Event event, QPoint p, bool leftHeld, bool shift) {
    if (tool_ == PaintTool::None || !hasPicture_) return false;
    r_->work = r_->shown.clone();
    if (shift) {
        if (event == Event::Press) return Act(p, PaintTool::Bucket);
        if (event == Event::RightPress) return Act(p, PaintTool::Replace);
        return false;
    }
    if (event == Event::Press) lastPen_.reset();
    if (leftHeld && (event == Event::Press || event == Event::Move)) return Act(p, tool_);
    if (event == Event::RightPress) {
        PickColour(p);
        return false;
    }
    if (event == Event::Release) EndStroke();
    return false;
}

bool CPaintCanvas::Undo() {
    if (r_->undo.empty()) return false;
    if (r_->undo.size() >= 2) {
        r_->redo.push_back(r_->undo.back().clone());
        r_->undo.pop_back();
    }
    r_->shown = r_->undo.back().clone();
    r_->work = r_->shown.clone();
    return true;
}

bool CPaintCanvas::Redo() {
    if (r_->redo.empty()) return false;
    r_->undo.push_back(r_->redo.back().clone());
    r_->redo.pop_back();
    r_->shown = r_->undo.back().clone();
    r_->work = r_->shown.clone();
    return true;
}

}  // namespace glowdeck
