// SPDX-License-Identifier: GPL-3.0-or-later
// The paint tools, the colour picker and the undo and redo stacks, on small
// rasters drawn as text: '.' black, 'w' white, 'r' red, 'R' red one level
// darker, 'b' blue.
#include <gtest/gtest.h>

#include "paint/PaintCanvas.h"

using namespace glowdeck;
using Event = CPaintCanvas::Event;

namespace {

QRgb ColourOf(char c) {
    switch (c) {
        case 'w':
            return qRgb(255, 255, 255);
        case 'r':
            return qRgb(255, 0, 0);
        case 'R':
            return qRgb(254, 0, 0);
        case 'b':
            return qRgb(0, 0, 255);
        default:
            return qRgb(0, 0, 0);
    }
}

QImage Picture(const std::vector<const char*>& rows) {
    QImage image(static_cast<int>(std::strlen(rows[0])), static_cast<int>(rows.size()),
                 QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, ColourOf(rows[y][x]));
    return image;
}

std::vector<std::string> Rows(const QImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) | 0xFF000000;
            char c = '?';
            for (char k : std::string(".wrRb"))
                if (ColourOf(k) == p) c = k;
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> S(std::initializer_list<const char*> rows) {
    return {rows.begin(), rows.end()};
}

constexpr unsigned kWhite = 0xFFFFFF, kRed = 0x0000FF;

}  // namespace

TEST(PaintTools, PenSizes) {
    CPaintCanvas canvas;
    canvas.SetImage(
        Picture({".......", ".......", ".......", ".......", ".......", ".......", "......."}));
    canvas.SetPenColour(kWhite);
    canvas.SetTool(PaintTool::RoundPen);
    canvas.SetPenSize(0);  // slider at 1: one pixel
    ASSERT_TRUE(canvas.FrameEvent(Event::Press, QPoint(1, 1)));
    canvas.FrameEvent(Event::Release, QPoint(1, 1));
    canvas.SetPenSize(1);  // radius 1
    canvas.FrameEvent(Event::Press, QPoint(4, 4));
    canvas.FrameEvent(Event::Release, QPoint(4, 4));
    EXPECT_EQ(Rows(canvas.Shown()),
              S({".......", ".w.....", ".......", "....w..", "...www.", "....w..", "......."}));
    canvas.SetImage(Picture({"......", "......", "......", "......", "......"}));
    canvas.SetTool(PaintTool::SquarePen);
    canvas.SetPenSize(2);  // n + 1 pixels a side
    canvas.FrameEvent(Event::Press, QPoint(1, 1));
    canvas.FrameEvent(Event::Move, QPoint(3, 2));  // dragging keeps drawing, joined
    canvas.FrameEvent(Event::Release, QPoint(3, 2));
    EXPECT_EQ(Rows(canvas.Shown()), S({"......", ".wwww.", ".wwwww", ".wwwww", "...www"}));
}

TEST(PaintTools, BucketStopsAtAOneLevelDifferenceAndIsFourConnected) {
    CPaintCanvas canvas;
    canvas.SetImage(Picture({"rrR.", "rRr.", "R.rr", "..r."}));
    canvas.SetPenColour(0xFF0000);  // blue
    canvas.SetTool(PaintTool::Bucket);
    canvas.FrameEvent(Event::Press, QPoint(0, 0));
    EXPECT_EQ(Rows(canvas.Shown()), S({"bbR.", "bRr.", "R.rr", "..r."}));
    canvas.FrameEvent(Event::Press, QPoint(1, 1));  // a pixel whose neighbours all differ
    EXPECT_EQ(Rows(canvas.Shown())[1], "bbr.");
}

TEST(PaintTools, ReplaceRecoloursUnconnectedPixels) {
    CPaintCanvas canvas;
    canvas.SetImage(Picture({"r.r", ".w.", "r.R"}));
    canvas.SetPenColour(kWhite);
    canvas.SetTool(PaintTool::Replace);
    canvas.FrameEvent(Event::Press, QPoint(0, 0));
    EXPECT_EQ(Rows(canvas.Shown()), S({"w.w", ".w.", "w.R"}));
}

TEST(PaintTools, NoToolPaintsNothingAndPushesNoSnapshot) {
    CPaintCanvas canvas;
    canvas.SetImage(Picture({"...", "..."}));
    EXPECT_FALSE(canvas.FrameEvent(Event::Press, QPoint(1, 1)));
    canvas.FrameEvent(Event::Release, QPoint(1, 1));
    EXPECT_EQ(canvas.UndoDepth(), 1u);
    EXPECT_EQ(Rows(canvas.Shown()), S({"...", "..."}));
}

TEST(PaintTools, RightClickPicksThePenColour) {
    CPaintCanvas canvas;
    canvas.SetImage(Picture({"rb"}));
    canvas.SetTool(PaintTool::RoundPen);
    canvas.FrameEvent(Event::RightPress, QPoint(1, 0));
    EXPECT_EQ(canvas.PenColour(), 0xFF0000u);  // blue as 0x00BBGGRR
    canvas.FrameEvent(Event::RightPress, QPoint(0, 0));
    EXPECT_EQ(canvas.PenColour(), kRed);
    canvas.FrameEvent(Event::RightPress, QPoint(9, 9));  // outside: unchanged
    EXPECT_EQ(canvas.PenColour(), kRed);
}

TEST(UndoRedo, ExactStackSemantics) {
    CPaintCanvas canvas;
    canvas.SetImage(Picture({"...."}));
    EXPECT_TRUE(canvas.Undo());  // right after loading: unchanged, the snapshot stays
    EXPECT_EQ(Rows(canvas.Shown()), S({"...."}));
    EXPECT_EQ(canvas.UndoDepth(), 1u);
    EXPECT_FALSE(canvas.Redo());

    canvas.SetPenColour(kWhite);
    canvas.SetTool(PaintTool::SquarePen);
    canvas.FrameEvent(Event::Press, QPoint(0, 0));
    canvas.FrameEvent(Event::Release, QPoint(0, 0));
    EXPECT_EQ(Rows(canvas.Shown()), S({"w..."}));
    EXPECT_TRUE(canvas.Undo());
    EXPECT_EQ(Rows(canvas.Shown()), S({"...."}));
    EXPECT_TRUE(canvas.Redo());
    EXPECT_EQ(Rows(canvas.Shown()), S({"w..."}));
    EXPECT_TRUE(canvas.Undo());
    EXPECT_EQ(canvas.RedoDepth(), 1u);
    canvas.FrameEvent(Event::Press, QPoint(3, 0));  // a new stroke empties redo
    canvas.FrameEvent(Event::Release, QPoint(3, 0));
    EXPECT_EQ(canvas.RedoDepth(), 0u);
    EXPECT_FALSE(canvas.Redo());
    EXPECT_EQ(Rows(canvas.Shown()), S({"...w"}));
    canvas.SetImage(Picture({"rr"}));  // a new picture empties both stacks
    EXPECT_EQ(canvas.UndoDepth(), 1u);
    EXPECT_EQ(canvas.RedoDepth(), 0u);
}

TEST(PaintWindow, ShiftFillsOrReplacesWhateverTheTool) {
    CPaintCanvas canvas;
    canvas.SetImage(Picture({"..r", "r.."}));
    canvas.SetPenColour(kWhite);
    canvas.SetTool(PaintTool::RoundPen);
    EXPECT_TRUE(canvas.WindowEvent(Event::Press, QPoint(0, 0), true, true));  // Shift + left: fill
    EXPECT_EQ(Rows(canvas.Shown()), S({"wwr", "rww"}));
    EXPECT_TRUE(canvas.WindowEvent(Event::RightPress, QPoint(2, 0), false,
                                   true));  // Shift + right: replace
    EXPECT_EQ(Rows(canvas.Shown()), S({"www", "www"}));
    EXPECT_FALSE(
        canvas.WindowEvent(Event::Move, QPoint(1, 1), true, true));  // other events: nothing
}

TEST(PaintWindow, HeldButtonActsAtEveryPointAndReleaseEndsTheStroke) {
    CPaintCanvas canvas;
    canvas.SetImage(Picture({"r.r.r"}));
    canvas.SetPenColour(0xFF0000);
    canvas.SetTool(PaintTool::Bucket);
    canvas.WindowEvent(Event::Press, QPoint(0, 0), true, false);
    canvas.WindowEvent(Event::Move, QPoint(2, 0), true, false);
    canvas.WindowEvent(Event::Move, QPoint(4, 0), false, false);  // button no longer held
    EXPECT_EQ(Rows(canvas.Shown()), S({"b.b.r"}));
    canvas.WindowEvent(Event::Release, QPoint(4, 0), false, false);
    EXPECT_EQ(canvas.UndoDepth(), 2u);
    canvas.SetTool(PaintTool::None);
    EXPECT_FALSE(canvas.WindowEvent(Event::Press, QPoint(4, 0), true, true));
}

TEST(PaintCanvas, MousePointsScaleToTheRaster) {
    CPaintCanvas canvas;
    canvas.SetImage(Picture({"....", "...."}));
    EXPECT_EQ(canvas.ToRaster(QPointF(0, 0), QSizeF(40, 20)), QPoint(0, 0));
    EXPECT_EQ(canvas.ToRaster(QPointF(39.9, 19.9), QSizeF(40, 20)), QPoint(3, 1));
    EXPECT_EQ(canvas.ToRaster(QPointF(10, 10), QSizeF(40, 20)), QPoint(1, 1));
}

TEST(PaintTools, DraggedPenDrawsAnUnbrokenLine) {
    // The mouse reports a drag every few pixels; the stroke joins them.
    struct Case {
        const char* what;
        PaintTool pen;
        bool window;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"round pen in the frame", PaintTool::RoundPen, false,
         S({"..........", ".www......", "....www...", ".......ww.", ".........."})},
        {"square pen in the paint window", PaintTool::SquarePen, true,
         S({"..........", ".www......", "....www...", ".......ww.", ".........."})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPaintCanvas canvas;
        canvas.SetImage(
            Picture({"..........", "..........", "..........", "..........", ".........."}));
        canvas.SetTool(c.pen);
        canvas.SetPenColour(kWhite);
        auto send = [&](Event e, QPoint p) {
            return c.window ? canvas.WindowEvent(e, p, e != Event::Release, false)
                            : canvas.FrameEvent(e, p);
        };
        send(Event::Press, QPoint(1, 1));
        send(Event::Move, QPoint(5, 2));
        send(Event::Move, QPoint(8, 3));
        send(Event::Release, QPoint(8, 3));
        EXPECT_EQ(Rows(canvas.Shown()), c.expected);
        // The next stroke starts where it is pressed, not at the last one's end.
        send(Event::Press, QPoint(1, 4));
        send(Event::Release, QPoint(1, 4));
        EXPECT_EQ(Rows(canvas.Shown())[4], ".w........");
    }
}
