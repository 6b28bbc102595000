#include "paint/PaintCanvas.h"

#include <opencv2/imgproc.hpp>

namespace glowdeck {

namespace {
cv::Scalar Bgr(unsigned colour) {
    return cv::Scalar((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}
}  // namespace

cv::Mat CPaintCanvas::ToRaster(const QImage& picture) {
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

QImage CPaintCanvas::FromRaster(const cv::Mat& raster) {
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

void CPaintCanvas::SetImage(const QImage& picture) {
    hasPicture_ = !picture.isNull();
    shown_ = ToRaster(picture);
    work_ = shown_.clone();
    undo_.clear();
    redo_.clear();
    undo_.push_back(shown_.clone());
    roundDrawing_ = squareDrawing_ = false;
}

QImage CPaintCanvas::Shown() const { return FromRaster(shown_); }

QPoint CPaintCanvas::ToRaster(QPointF point, QSizeF frameSize) const {
    if (frameSize.width() <= 0 || frameSize.height() <= 0) return QPoint(-1, -1);
    return QPoint(static_cast<int>(shown_.cols * point.x() / frameSize.width()),
                  static_cast<int>(shown_.rows * point.y() / frameSize.height()));
}

bool CPaintCanvas::Inside(QPoint p) const { return p.x() >= 0 && p.y() >= 0 && p.x() < work_.cols && p.y() < work_.rows; }

bool CPaintCanvas::Act(QPoint p, PaintTool tool) {
    const cv::Point at(p.x(), p.y());
    const cv::Scalar colour = Bgr(penColour_);
    switch (tool) {
        case PaintTool::RoundPen:
            roundDrawing_ = true;
            cv::circle(work_, at, penSize_, colour, cv::FILLED, cv::LINE_8);
            break;
        case PaintTool::SquarePen:
            squareDrawing_ = true;
            cv::rectangle(work_, at, cv::Point(p.x() + penSize_, p.y() + penSize_), colour, cv::FILLED, cv::LINE_8);
            break;
        case PaintTool::Bucket:
            if (!Inside(p)) return false;
            cv::floodFill(work_, at, colour, nullptr, cv::Scalar::all(0), cv::Scalar::all(0),
                          4 | cv::FLOODFILL_FIXED_RANGE);
            break;
        case PaintTool::Replace: {
            if (!Inside(p)) return false;
            const cv::Vec3b seed = work_.at<cv::Vec3b>(at);
            cv::Mat mask;
            cv::inRange(work_, cv::Scalar(seed[0], seed[1], seed[2]), cv::Scalar(seed[0], seed[1], seed[2]), mask);
            work_.setTo(colour, mask);
            break;
        }
        case PaintTool::None: return false;
    }
    shown_ = work_.clone();
    return true;
}

void CPaintCanvas::PickColour(QPoint p) {
    if (!Inside(p)) return;
    const cv::Vec3b c = work_.at<cv::Vec3b>(cv::Point(p.x(), p.y()));
    penColour_ = static_cast<unsigned>(c[2]) | (static_cast<unsigned>(c[1]) << 8) | (static_cast<unsigned>(c[0]) << 16);
}

void CPaintCanvas::EndStroke() {
    roundDrawing_ = squareDrawing_ = false;
    undo_.push_back(shown_.clone());
    redo_.clear();
}

bool CPaintCanvas::FrameEvent(Event event, QPoint p) {
    switch (event) {
        case Event::Press: return hasPicture_ && Act(p, tool_);
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
    work_ = shown_.clone();
    if (shift) {
        if (event == Event::Press) return Act(p, PaintTool::Bucket);
        if (event == Event::RightPress) return Act(p, PaintTool::Replace);
        return false;
    }
    if (leftHeld && (event == Event::Press || event == Event::Move)) return Act(p, tool_);
    if (event == Event::RightPress) {
        PickColour(p);
        return false;
    }
    if (event == Event::Release) EndStroke();
    return false;
}

bool CPaintCanvas::Undo() {
    if (undo_.empty()) return false;
    if (undo_.size() >= 2) {
        redo_.push_back(undo_.back().clone());
        undo_.pop_back();
    }
    shown_ = undo_.back().clone();
    work_ = shown_.clone();
    return true;
}

bool CPaintCanvas::Redo() {
    if (redo_.empty()) return false;
    undo_.push_back(redo_.back().clone());
    redo_.pop_back();
    shown_ = undo_.back().clone();
    work_ = shown_.clone();
    return true;
}

}  // namespace glowdeck
