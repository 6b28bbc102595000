// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/CPictureFrame.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

namespace glowdeck {

namespace {

// The tools' cursors, drawn here; the hot spot is the top-left corner.
QCursor ToolCursor(PaintTool tool) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    switch (tool) {
        case PaintTool::RoundPen:
            p.drawEllipse(QRectF(1, 1, 12, 12));
            break;
        case PaintTool::SquarePen:
            p.drawRect(QRectF(1, 1, 11, 11));
            break;
        case PaintTool::Bucket: {
            QPainterPath bucket;
            bucket.moveTo(1, 1);
            bucket.lineTo(8, 16);
            bucket.lineTo(20, 10);
            bucket.lineTo(12, 1);
            bucket.closeSubpath();
            p.drawPath(bucket);
            break;
        }
        case PaintTool::Replace:
            p.drawLine(1, 1, 14, 14);
            p.drawEllipse(QRectF(10, 10, 10, 10));
            break;
        case PaintTool::None:
            break;
    }
    return QCursor(pixmap, 0, 0);
}

}  // namespace

CPictureFrame::CPictureFrame(QWidget* parent) : CZoomImageView(parent) {
    step_.setSingleShot(true);
    connect(&step_, &QTimer::timeout, this, &CPictureFrame::PlayStep);
}

CPictureFrame::~CPictureFrame() {
    step_.stop();
    if (window_) window_->close();
    delete window_;
}

void CPictureFrame::SetImage(const QImage& picture, int frameCount,
                             const std::vector<int>& delays) {
    canvas_.SetImage(picture);
    // The canvas holds the picture as RGB888 too, so this is what it shows.
    shown_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB888);
    shownStale_ = shown_.isNull();
    player_.SetPicture(frameCount, delays);
    frames_.clear();
    PictureChanged();
    if (window_) window_->Refresh();
}

void CPictureFrame::SetFrames(const std::vector<QImage>& frames) {
    frames_.assign(frames.begin(),
                   frames.begin() + std::min<size_t>(frames.size(), CFramePlayer::MaxFrames));
    player_.SetFramesLoaded(static_cast<int>(frames_.size()));
    Changed();
}

void CPictureFrame::SetTool(PaintTool tool) {
    canvas_.SetTool(tool);
    if (painting_ && tool != PaintTool::None)
        setCursor(ToolCursor(tool));
    else
        unsetCursor();
}

void CPictureFrame::Fit(int height) {
    SetDisplayHeight(height);
    player_.SetFrameHeight56(height + 4 == 56);
}

QImage CPictureFrame::Displayed() const {
    if (player_.CanPlay() && !frames_.empty()) {
        const int i = std::clamp(player_.CurrentFrame(), 0, static_cast<int>(frames_.size()) - 1);
        return frames_[i];
    }
    // A frame that paints changes its canvas at every stroke, and is small
    // (an LED image): it is read afresh. A source frame's picture changes
    // only when it is set, yet is read at every paint.
    if (painting_) return canvas_.Shown();
    if (shownStale_) {
        shown_ = canvas_.Shown();
        shownStale_ = false;
    }
    return shown_;
}

void CPictureFrame::Changed() {
    CanvasChanged();
    PictureChanged();
    if (window_) window_->Refresh();
}

void CPictureFrame::mousePressEvent(QMouseEvent* event) {
    if (!painting_) return;
    if (event->button() == Qt::LeftButton &&
        canvas_.FrameEvent(CPaintCanvas::Event::Press, RasterPoint(event->position())))
        Changed();
    if (event->button() == Qt::RightButton)
        canvas_.FrameEvent(CPaintCanvas::Event::RightPress, RasterPoint(event->position()));
}

void CPictureFrame::mouseMoveEvent(QMouseEvent* event) {
    if (painting_ && canvas_.FrameEvent(CPaintCanvas::Event::Move, RasterPoint(event->position())))
        Changed();
}

void CPictureFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (painting_ && event->button() == Qt::LeftButton)
        canvas_.FrameEvent(CPaintCanvas::Event::Release, RasterPoint(event->position()));
}

void CPictureFrame::OpenPaintWindow() {
    if (!window_) window_ = new CPaintWindow(*this);
    window_->setWindowTitle(title_);
    const QScreen* screen = this->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    window_->setGeometry(PaintWindowPlace(available, 2 * DisplayHeight()));
    window_->show();
    window_->raise();
    window_->activateWindow();
}

QRect CPictureFrame::PaintWindowPlace(const QRect& available, int wantedHeight) {
    // Room for the window's frame and title bar, which the geometry leaves out.
    const QMargins decoration(8, 32, 8, 8);
    const QRect room = available.marginsRemoved(decoration);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // Double size when the screen has room for it; else the picture's height
    // shrinks to the screen's, and a long strip scrolls sideways.
    window_->SetDisplayHeight(std::max(1, std::min(wantedHeight, room.height() - 4 - bar)));
    const QSize size = (window_->ContentSize() + QSize(4, 4 + bar)).boundedTo(room.size());
    // Centred on the screen's free area, never past its edges.
    QRect place(QPoint(0, 0), size);
    place.moveCenter(room.center());
    return place;
}

bool CPictureFrame::Undo() {
    const bool done = canvas_.Undo();
    if (done) Changed();
    return done;
}

bool CPictureFrame::Redo() {
    const bool done = canvas_.Redo();
    if (done) Changed();
    return done;
}

bool CPictureFrame::HasStrokeToUndo() const { return painting_ && canvas_.UndoDepth() >= 2; }

bool CPictureFrame::HasStrokeToRedo() const { return painting_ && canvas_.RedoDepth() >= 1; }

bool CPictureFrame::PlayPause(IMessageSink* messages) {
    const bool wasRunning = player_.Running();
    if (!player_.PlayPause(messages)) return false;
    if (!wasRunning)
        PlayStep();
    else if (player_.Paused())
        step_.stop();
    else
        step_.start(player_.RemainingMs());  // the rest of the shown frame's delay
    return true;
}

bool CPictureFrame::StopPlayer() {
    step_.stop();
    const bool stopped = player_.Stop();
    Changed();
    return stopped;
}

void CPictureFrame::ShowFrame(int) { Changed(); }

void CPictureFrame::PlayStep() {
    if (!player_.Running() || player_.Paused()) return;
    const std::optional<CFramePlayer::Step> step = player_.Next();
    Changed();
    if (step) step_.start(step->delayMs);
}

CPaintWindow::CPaintWindow(CPictureFrame& frame) : CZoomImageView(nullptr), frame_(frame) {
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    SetFixedHeightToPicture(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setFocusPolicy(Qt::StrongFocus);  // for Escape
    // The main window's commands do not reach a window of its own. Here the
    // keys step through the strokes only: a step of the project would build
    // the editor again, and this window with it.
    auto* undo = new QAction(QCoreApplication::translate("CPaintWindow", "撤销"), this);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undo, &QAction::triggered, this, [this] { frame_.Undo(); });
    auto* redo = new QAction(QCoreApplication::translate("CPaintWindow", "重复"), this);
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(redo, &QAction::triggered, this, [this] { frame_.Redo(); });
    addActions({undo, redo});
}

void CPaintWindow::Route(CPaintCanvas::Event event, QMouseEvent* mouse) {
    if (!frame_.painting_) return;
    const QPoint p = PicturePoint(mouse->position());
    const bool shift = mouse->modifiers() & Qt::ShiftModifier;
    const bool left = mouse->buttons() & Qt::LeftButton;
    if (frame_.canvas_.WindowEvent(event, p, left, shift)) frame_.Changed();
}

void CPaintWindow::mousePressEvent(QMouseEvent* event) {
    Route(event->button() == Qt::RightButton ? CPaintCanvas::Event::RightPress
                                             : CPaintCanvas::Event::Press,
          event);
}

void CPaintWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    CZoomImageView::keyPressEvent(event);
}

void CPaintWindow::mouseMoveEvent(QMouseEvent* event) { Route(CPaintCanvas::Event::Move, event); }

void CPaintWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Route(CPaintCanvas::Event::Release, event);
}

}  // namespace glowdeck
