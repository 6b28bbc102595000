// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of any size stay inside the window: frames zoom and scroll, the
// paint window maps the mouse exactly at every zoom, thumbnails keep their
// shape.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "app/CCompileDlg.h"
#include "app/CItemListPane.h"
#include "app/CMainFrame.h"
#include "app/CProjectTree.h"
#include "app/ShellDialogs.h"
#include "app/ThumbnailCache.h"
#include "editors/CPictureFrame.h"
#include "editors/CViewBmp.h"
#include "led/ImageCodec.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "support/ExifJpeg.h"
#include "support/FakeHosts.h"
#include "support/PreviewWait.h"
#include "support/RecordingSink.h"
#include "support/StartedFrame.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

class LongContent : public ::testing::Test, protected StartedFrame {
protected:
    LongContent() : StartedFrame(QStringLiteral("长")) { EXPECT_TRUE(started_); }
    // The size the main window must have at least to show the current view.
    QSize Needed() {
        QCoreApplication::sendPostedEvents();
        return frame_->minimumSizeHint();
    }
};

}  // namespace

TEST_F(LongContent, LongTextsAndPanoramasFitA1280PixelScreen) {
    CProjectTree& tree = *frame_->Tree();
    tree.setCurrentItem(tree.GroupNode(1));
    tree.AddItem(ItemKind::Text);
    tree.AddItem(ItemKind::Picture);
    item_ops::TextSettings text;
    text.text = QString(200, QChar(u'光'));
    ASSERT_TRUE(item_ops::ConfirmText(doc_, 0, 0, text));
    QImage panorama(3000, 100, QImage::Format_RGB32);
    panorama.fill(Qt::darkCyan);
    ASSERT_TRUE(EncodeImage(panorama, dir_.File("panorama.jpg"), QStringLiteral("image/jpeg")));
    const EditResult set = item_ops::SetPictureSource(doc_, 0, 1, dir_.File("panorama.jpg"));
    ASSERT_TRUE(set) << set.message.toStdString();

    frame_->resize(1280, 800);
    frame_->show();
    for (int item : {1, 2}) {
        tree.setCurrentItem(tree.ItemNode(1, item));
        EXPECT_LE(Needed().width(), 1280) << item;
        EXPECT_LE(Needed().height(), 800) << item;
    }
    EXPECT_LE(frame_->width(), 1280);
    EXPECT_LE(frame_->height(), 800);
    // The strip scrolls instead, once the editor shows its conversion.
    auto* picture = qobject_cast<CViewBmp*>(frame_->CurrentView());
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(PreviewSettled(*picture));
    const auto frames = frame_->CurrentView()->findChildren<CPictureFrame*>();
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_GT(frames.last()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(LongContent, ACompileLeavesItsOutcomeInTheStatusBar) {
    ASSERT_TRUE(doc_.NewInterval(1, QStringLiteral("隔")));
    // The compile window is modal: press its button once it is up.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->findChild<QPushButton*>(QStringLiteral("compile"))->click();
    });
    frame_->Command(32858)->trigger();  // 编译
    const QString message = frame_->statusBar()->currentMessage();
    EXPECT_TRUE(message.startsWith(QStringLiteral("编译完成"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::number(QFileInfo(doc_.DataFilePath()).size())))
        << message.toStdString();

    // A failed compile says so there too.
    doc_.ProjectFile()->SetAttr(0, 0, "id", QStringLiteral("../elsewhere"));
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<CCompileDlg*>(QApplication::activeModalWidget())) {
            // A failed compile leaves the window open: close it once it is done.
            QObject::connect(dialog, &CCompileDlg::compileFinished, dialog, &QDialog::reject);
            dialog->StartCompile();
        }
    });
    frame_->Command(32858)->trigger();
    EXPECT_TRUE(frame_->statusBar()->currentMessage().startsWith(QStringLiteral("编译失败")))
        << frame_->statusBar()->currentMessage().toStdString();
}

TEST(PictureFrameZoom, TheMouseHitsThePixelUnderItAtEveryZoomAndScroll) {
    CPictureFrame frame;
    QImage strip(900, 56, QImage::Format_RGB32);
    strip.fill(Qt::black);
    frame.SetImage(strip);
    frame.Fit(112);
    frame.resize(400, frame.sizeHint().height());
    frame.show();
    frame.SetPaintingOn(true);
    frame.SetTool(PaintTool::SquarePen);
    frame.SetPenSize(0);
    frame.SetPenColour(0x0000FF);  // red, as 0x00BBGGRR
    using Zoom = CZoomImageView::Zoom;
    const QPoint targets[] = {{3, 5}, {700, 40}, {450, 55}};
    for (const Zoom zoom : {Zoom::Height, Zoom::Fit, Zoom::Actual, Zoom::Double, Zoom::Quadruple}) {
        frame.SetZoom(zoom);
        for (const QPoint target : targets) {
            // Scroll so the target is in view, then press in the middle of its pixel.
            const QSizeF scale = frame.Scale();
            frame.horizontalScrollBar()->setValue(static_cast<int>(target.x() * scale.width()) -
                                                  100);
            frame.verticalScrollBar()->setValue(static_cast<int>(target.y() * scale.height()) - 10);
            const QPointF centre =
                frame.ViewportPoint(target) + QPointF(scale.width() / 2, scale.height() / 2);
            const QPoint at(static_cast<int>(centre.x()), static_cast<int>(centre.y()));
            // Zoomed out, a screen pixel covers several picture pixels: the
            // one under the mouse is painted.
            const QPoint hit = frame.PicturePoint(at);
            if (scale.width() >= 1 && scale.height() >= 1) {
                EXPECT_EQ(hit, target) << static_cast<int>(zoom);
            }
            EXPECT_LE((hit - target).manhattanLength(), 4);
            QTest::mousePress(frame.viewport(), Qt::LeftButton, Qt::NoModifier, at);
            QTest::mouseRelease(frame.viewport(), Qt::LeftButton, Qt::NoModifier, at);
            EXPECT_EQ(frame.CurrentImage().pixel(hit), qRgb(255, 0, 0))
                << "zoom " << static_cast<int>(zoom) << " at " << target.x() << "," << target.y();
            frame.Undo();
        }
    }
}

TEST(PictureFrameZoom, AOneColumnIntervalIsShownAtAReadableWidth) {
    CPictureFrame frame;
    QImage column(1, 56, QImage::Format_RGB32);
    column.fill(Qt::yellow);
    frame.SetImage(column);
    frame.Fit(56);
    EXPECT_GE(frame.ContentSize().width(), 24);
    EXPECT_GE(frame.sizeHint().width(), 24);
}

TEST(Thumbnails, KeepTheirShapeInsideTheCell) {
    TempDir dir;
    QImage wide(300, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    ASSERT_TRUE(EncodeImage(wide, dir.File("wide.bmp"), QStringLiteral("image/bmp")));
    ThumbnailCache cache;
    const QImage thumb = cache.Get(dir.File("wide.bmp")).toImage();
    ASSERT_EQ(thumb.size(), QSize(ThumbnailCache::Width, ThumbnailCache::Height));
    EXPECT_EQ(qRed(thumb.pixel(50, 37)), 255);     // the picture, centred
    EXPECT_EQ(thumb.pixel(50, 2) & 0xFFFFFF, 0u);  // bars above and below
    EXPECT_EQ(thumb.pixel(50, 72) & 0xFFFFFF, 0u);
}

// A group's thumbnails are made by workers and filled in through the event
// loop; a camera photo shows its embedded thumbnail (blue here, where the
// photo is white), turned by its orientation (6: a tall picture in the cell).
TEST(Thumbnails, ComeFromWorkersAndUseTheCameraThumbnailTurned) {
    TempDir dir;
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetProjectRoot(dir.Path());
    ASSERT_TRUE(doc.CreateProjectNamed(QStringLiteral("p")));
    auto jpeg = [](int w, int h, QColor colour) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG");
        return bytes;
    };
    const QByteArray photo = WithExif(jpeg(800, 600, Qt::white), 6, jpeg(160, 120, Qt::blue));
    constexpr int kPhotos = 12;
    for (int n = 0; n < kPhotos; ++n) {
        ASSERT_TRUE(doc.NewPicture(1, QStringLiteral("照片")));
        QFile file(doc.SourceImagePathFor(ItemKind::Picture, doc.ProjectFile()->ItemId(0, n)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(photo), photo.size());
    }
    CItemListPane pane(doc);
    pane.ShowGroup(1);
    EXPECT_EQ(pane.count(), kPhotos);
    QElapsedTimer waited;
    waited.start();
    while (pane.Pending() > 0 && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    ASSERT_EQ(pane.Pending(), 0);
    for (int row = 0; row < kPhotos; ++row) {
        const QImage thumb =
            pane.item(row)->icon().pixmap(ThumbnailCache::Width, ThumbnailCache::Height).toImage();
        ASSERT_EQ(thumb.size(), QSize(ThumbnailCache::Width, ThumbnailCache::Height)) << row;
        EXPECT_GT(qBlue(thumb.pixel(50, 37)), 200) << row;  // the embedded thumbnail
        EXPECT_LT(qRed(thumb.pixel(50, 37)), 60) << row;
        EXPECT_EQ(thumb.pixel(3, 37) & 0xFFFFFF, 0u) << row;  // tall: bars left and right
    }
}
