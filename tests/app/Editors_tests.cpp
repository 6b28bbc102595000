// SPDX-License-Identifier: GPL-3.0-or-later
// The item editors with real widgets: debounce timers, the colour-pick
// guard, placeholders, new ids, the player.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>

#include "editors/CColorComboBox.h"
#include "editors/CFontColourDlg.h"
#include "editors/CPictureFrame.h"
#include "editors/CViewBmp.h"
#include "editors/CViewGif.h"
#include "editors/CViewNull.h"
#include "editors/CViewTxt.h"
#include "led/GifWriter.h"
#include "led/ImageCodec.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"
#include "support/PreviewWait.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

using namespace glowdeck;
using namespace glowdeck::test;

namespace {

class Editors : public ::testing::Test {
protected:
    Editors() : doc_(sink_) {
        doc_.SetProjectRoot(dir_.Path());
        EXPECT_TRUE(doc_.CreateProjectNamed(QStringLiteral("p")));
        EXPECT_TRUE(doc_.NewPicture(1, QStringLiteral("图")));
        EXPECT_TRUE(doc_.NewAnimation(1, QStringLiteral("动")));
        EXPECT_TRUE(doc_.NewText(1, QStringLiteral("文")));
        EXPECT_TRUE(doc_.NewInterval(1, QStringLiteral("隔")));
    }
    CProjectFile& File() { return *doc_.ProjectFile(); }
    QString Source(int i, const char* ext) {
        return doc_.ImagesFolder() + File().GetAttr(0, i, "id") + QLatin1String(ext);
    }
    QString PictureFile(int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(QColor(200, 40, 40));
        const QString path = dir_.File(QStringLiteral("%1x%2.jpg").arg(w).arg(h));
        EXPECT_TRUE(EncodeImage(image, path, QStringLiteral("image/jpeg")));
        return path;
    }
    TempDir dir_;
    RecordingSink sink_;
    CGlowdeckDoc doc_;
    int refreshed_ = 0;
    CItemView::ShowGroup refresh_ = [this](int) { ++refreshed_; };
};

}  // namespace

TEST_F(Editors, MissingPictureBecomesPurpleOnDisk) {
    File().SetInt(0, 0, "width", 60);
    File().SetInt(0, 0, "height", 30);
    QFile::remove(Source(0, ".bmp"));
    CViewBmp view(doc_, 0, 0, refresh_);
    const QImage placeholder = DecodeImage(Source(0, ".bmp"));
    ASSERT_EQ(placeholder.size(), QSize(60, 30));
    EXPECT_NEAR(qRed(placeholder.pixel(30, 15)), 128, 4);
    EXPECT_NEAR(qGreen(placeholder.pixel(30, 15)), 0, 4);
}

TEST_F(Editors, SourceTooWideForTheIndexGetsNoGiantPreview) {
    // 60000 × 1 pixels would be 3360000 LED columns, 750 MB as a preview.
    QImage sliver(60000, 1, QImage::Format_RGB32);
    sliver.fill(Qt::white);
    ASSERT_TRUE(sliver.save(Source(0, ".bmp"), "PNG"));
    CViewBmp view(doc_, 0, 0, refresh_);
    ASSERT_TRUE(PreviewSettled(view));
    EXPECT_LE(view.LedFrame()->CurrentImage().width(), 65535);
    EXPECT_EQ(view.LedFrame()->CurrentImage().height(), 56);
}

TEST_F(Editors, ColourSliderDragConvertsOnceAfterItStops) {
    CViewBmp view(doc_, 0, 0, refresh_);
    ASSERT_TRUE(PreviewSettled(view));
    const int before = view.Conversions();
    QSlider* red = view.findChild<QSlider*>(QStringLiteral("colour0"));
    ASSERT_NE(red, nullptr);
    // A drag: every step restarts the 500 ms quiet time (no fixed waits that a
    // slow machine could stretch past it).
    for (int v = 100; v < 110; ++v) red->setValue(v);
    EXPECT_EQ(view.Conversions(), before);  // still dragging: nothing yet
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.Conversions() > before; }, 3000));
    QTest::qWait(600);  // and no second conversion follows
    EXPECT_EQ(view.Conversions(), before + 1);
    EXPECT_EQ(File().GetInt(0, 0, "r"), 109);
    EXPECT_TRUE(doc_.NeedsCompile());
}

namespace {
// Share of the pixels of an LED image whose red is lit.
double RedShare(const QImage& led) {
    int lit = 0;
    for (int y = 0; y < led.height(); ++y)
        for (int x = 0; x < led.width(); ++x) lit += qRed(led.pixel(x, y)) == 255;
    return static_cast<double>(lit) / std::max(1, led.width() * led.height());
}
}  // namespace

TEST_F(Editors, DitherBoxConvertsAfterTheQuietTimeAndIsStored) {
    QImage grey(112, 56, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    const QString file = dir_.File(QStringLiteral("grey.bmp"));
    ASSERT_TRUE(EncodeImage(grey, file, QStringLiteral("image/bmp")));
    {
        CViewBmp view(doc_, 0, 0, refresh_);
        ASSERT_TRUE(view.ChoosePicture(file));
        ASSERT_TRUE(PreviewSettled(view));
        EXPECT_EQ(RedShare(view.LedFrame()->CurrentImage()), 1.0);
        doc_.MarkCompiled(doc_.Revision());
        auto* box = view.findChild<QCheckBox*>(QStringLiteral("dither"));
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->isChecked());
        const int before = view.Conversions();
        box->click();
        EXPECT_TRUE(doc_.NeedsCompile());
        EXPECT_EQ(view.Conversions(), before);  // waits for the quiet time like the sliders
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.Conversions() > before; }, 3000));
        EXPECT_NEAR(RedShare(view.LedFrame()->CurrentImage()), 0.5, 0.03);
        EXPECT_TRUE(item_ops::Dithers(CProjectFile(doc_.ProjectFilePath()), 0, 0));
    }
    CViewBmp reopened(doc_, 0, 0, refresh_);
    ASSERT_TRUE(PreviewSettled(reopened));
    EXPECT_TRUE(reopened.findChild<QCheckBox*>(QStringLiteral("dither"))->isChecked());
    EXPECT_NEAR(RedShare(reopened.LedFrame()->CurrentImage()), 0.5, 0.03);
}

TEST_F(Editors, AnimationDitherBoxReconvertsEveryFrame) {
    QImage grey(56, 56, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    QByteArray gif;
    ASSERT_TRUE(EncodeGif({grey, grey, grey}, {5, 5, 5}, 0, &gif));
    CViewGif view(doc_, 0, 1, refresh_);
    ASSERT_TRUE(view.ChooseAnimation(dir_.Write("grey.gif", gif)));
    ASSERT_TRUE(PreviewSettled(view));
    ASSERT_TRUE(view.Converted());
    EXPECT_EQ(RedShare(view.LedFrame()->DisplayedImage()), 1.0);
    doc_.MarkCompiled(doc_.Revision());
    view.findChild<QCheckBox*>(QStringLiteral("dither"))->click();
    EXPECT_FALSE(view.Converted());
    EXPECT_TRUE(doc_.NeedsCompile());
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Converted(); }, 3000));
    EXPECT_NEAR(RedShare(view.LedFrame()->DisplayedImage()), 0.5, 0.03);
    EXPECT_TRUE(item_ops::Dithers(CProjectFile(doc_.ProjectFilePath()), 0, 1));
    // Off again: the element goes, the frames are thresholded again.
    view.findChild<QCheckBox*>(QStringLiteral("dither"))->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Converted(); }, 3000));
    EXPECT_EQ(RedShare(view.LedFrame()->DisplayedImage()), 1.0);
    EXPECT_FALSE(File().HasProperty(0, 1, "dither"));
}

TEST_F(Editors, PalettePickBlocksTheToolsFor200ms) {
    CViewBmp view(doc_, 0, 0, refresh_);
    view.SelectTool(PaintTool::RoundPen);
    view.PickPaletteColour(0x0000FF);
    view.findChild<QAbstractButton*>(QStringLiteral("tool3"))->click();
    EXPECT_EQ(view.Tool(), PaintTool::RoundPen);
    EXPECT_EQ(view.LedFrame()->Canvas().PenColour(), 0x0000FFu);
    QTest::qWait(400);
    view.findChild<QAbstractButton*>(QStringLiteral("tool3"))->click();
    EXPECT_EQ(view.Tool(), PaintTool::Bucket);
}

TEST_F(Editors, SelectedToolNumberIsShown) {
    CViewBmp view(doc_, 0, 0, refresh_);
    auto* number = view.findChild<QSpinBox*>(QStringLiteral("toolNumber"));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->value(), 0);
    view.findChild<QAbstractButton*>(QStringLiteral("tool4"))->click();
    EXPECT_EQ(number->value(), 4);
    view.PickPaletteColour(0xFFFFFF);  // a guarded click keeps the tool and its number
    view.findChild<QAbstractButton*>(QStringLiteral("tool2"))->click();
    EXPECT_EQ(number->value(), 4);
}

TEST_F(Editors, ChoosingAndReplacingPicturesGiveNewIds) {
    CViewBmp view(doc_, 0, 0, refresh_);
    const QString first = File().GetAttr(0, 0, "id");
    ASSERT_TRUE(view.ChoosePicture(PictureFile(1000, 500)));
    ASSERT_TRUE(PreviewSettled(view));
    EXPECT_EQ(File().GetInt(0, 0, "length"), 112);
    const QString chosen = File().GetAttr(0, 0, "id");
    EXPECT_NE(chosen, first);
    EXPECT_EQ(refreshed_, 1);
    ASSERT_TRUE(view.ChoosePicture(PictureFile(100, 300)));
    ASSERT_TRUE(PreviewSettled(view));
    EXPECT_EQ(File().GetInt(0, 0, "length"), 18);
    view.ReplacePicture();
    EXPECT_NE(File().GetAttr(0, 0, "id"), chosen);
    EXPECT_EQ(File().GetInt(0, 0, "height"), 56);  // the LED image became the source
    EXPECT_EQ(File().GetInt(0, 0, "width"), 18);
    EXPECT_EQ(ImageFileSize(Source(0, ".bmp")), QSize(18, 56));  // saved under the new id
}

namespace {
// The files of a folder.
int FileCount(const QString& folder) {
    return static_cast<int>(QDir(folder).entryList(QDir::Files | QDir::Hidden).size());
}
// Share of the pixels of an LED image whose blue alone is lit.
double BlueShare(const QImage& led) {
    int lit = 0;
    for (int y = 0; y < led.height(); ++y)
        for (int x = 0; x < led.width(); ++x) lit += led.pixel(x, y) == qRgb(0, 0, 255);
    return static_cast<double>(lit) / std::max(1, led.width() * led.height());
}
}  // namespace

// Choosing returns before the conversion is shown (it runs on a worker), and
// of two overlapping choices only the later one is stored and shown: the
// earlier one's result and its copy in Images/ are dropped.
TEST_F(Editors, OverlappingPictureChoicesShowTheLatest) {
    CViewBmp view(doc_, 0, 0, refresh_);
    ASSERT_TRUE(PreviewSettled(view));
    const int files = FileCount(doc_.ImagesFolder());
    QImage blue(100, 50, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    const QString small = dir_.File(QStringLiteral("blue.bmp"));
    ASSERT_TRUE(EncodeImage(blue, small, QStringLiteral("image/bmp")));
    const int before = view.Conversions();
    ASSERT_TRUE(view.ChoosePicture(PictureFile(4000, 3000)));  // red, and slow to decode
    ASSERT_TRUE(view.ChoosePicture(small));
    EXPECT_EQ(view.Conversions(), before);  // nothing converted on the GUI thread
    ASSERT_TRUE(PreviewSettled(view));
    // Whatever the first job still posts is dropped.
    CPreviewWorker::WaitForIdle();
    QTest::qWait(0);
    EXPECT_EQ(view.Conversions(), before + 1);
    EXPECT_EQ(File().GetInt(0, 0, "width"), 100);
    EXPECT_EQ(File().GetInt(0, 0, "length"), 112);
    EXPECT_EQ(BlueShare(view.LedFrame()->CurrentImage()), 1.0);
    EXPECT_EQ(view.SourceFrame()->CurrentImage().size(), QSize(100, 50));
    EXPECT_EQ(FileCount(doc_.ImagesFolder()), files);  // the old source went, the new came
    EXPECT_EQ(refreshed_, 1);
}

namespace {
// Runs `step` after `turns` turns of the event loop, each a zero timer as the
// preview worker's turns are, so that it lands between two of them.
void AfterTurns(QObject* owner, int turns, std::function<void()> step) {
    auto* timer = new QTimer(owner);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, owner, [=] {
        timer->deleteLater();
        if (turns > 1)
            AfterTurns(owner, turns - 1, step);
        else
            step();
    });
    timer->start(0);
}
}  // namespace

// A stored choice is shown in several short turns of the GUI thread; what
// the user does between them: a second choice ends the first one's showing
// (the second alone is shown), a conversion follows the showing (and the
// item list is still refreshed), and closing the editor keeps the stored
// choice for the next one.
TEST_F(Editors, WhatHappensBetweenTheTurnsThatShowAChoice) {
    QImage blue(100, 50, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    const QString second = dir_.File(QStringLiteral("blue.bmp"));
    ASSERT_TRUE(EncodeImage(blue, second, QStringLiteral("image/bmp")));
    enum class Action { Choose, Convert, Close };
    struct Case {
        const char* what;
        Action action;
        int turns;  // after the edit's turn
        int shown;  // conversions shown
        QSize source;
    };
    const Case cases[] = {
        {"chosen again", Action::Choose, 1, 1, QSize(100, 50)},
        {"converted", Action::Convert, 2, 2, QSize(400, 300)},
        {"closed", Action::Close, 1, 0, QSize(400, 300)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QPointer<CViewBmp> view = new CViewBmp(doc_, 0, 0, refresh_);
        ASSERT_TRUE(PreviewSettled(*view));
        const int before = view->Conversions(), refreshed = refreshed_;
        QString storedId;
        QObject::connect(view, &CItemView::Stored, view, [&] {
            if (!storedId.isEmpty()) return;
            storedId = File().GetAttr(0, 0, "id");
            AfterTurns(view, c.turns, [&] {
                switch (c.action) {
                    case Action::Choose:
                        EXPECT_TRUE(view->ChoosePicture(second));
                        break;
                    case Action::Convert:
                        view->Convert();
                        break;
                    case Action::Close:
                        view->deleteLater();
                        break;
                }
            });
        });
        ASSERT_TRUE(view->ChoosePicture(PictureFile(400, 300)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !storedId.isEmpty(); }, 20000));
        if (c.action == Action::Close) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return view.isNull(); }, 20000));
            CPreviewWorker::WaitForIdle();
            QTest::qWait(0);
            EXPECT_EQ(File().GetAttr(0, 0, "id"), storedId);
            CViewBmp next(doc_, 0, 0, refresh_);
            ASSERT_TRUE(PreviewSettled(next));
            EXPECT_EQ(next.SourceFrame()->CurrentImage().size(), c.source);
            continue;
        }
        ASSERT_TRUE(PreviewSettled(*view));
        CPreviewWorker::WaitForIdle();
        QTest::qWait(0);
        EXPECT_EQ(view->Conversions(), before + c.shown);
        EXPECT_EQ(refreshed_, refreshed + 1);
        EXPECT_EQ(File().GetInt(0, 0, "width"), c.source.width());
        EXPECT_EQ(view->SourceFrame()->CurrentImage().size(), c.source);
        EXPECT_EQ(view->SourceFrame()->DisplayedImage().size(), c.source);
        if (c.action == Action::Choose) {
            EXPECT_NE(File().GetAttr(0, 0, "id"), storedId);
            EXPECT_EQ(BlueShare(view->LedFrame()->CurrentImage()), 1.0);
        }
        delete view;
    }
}

// Closing the editor while it converts a choice drops the choice: the item,
// Images/ and the next editor, on another item, see nothing of it.
TEST_F(Editors, ClosingThePictureEditorDuringAConversionLeaksNothing) {
    ASSERT_TRUE(doc_.NewPicture(1, QStringLiteral("图二")));
    const QString id = File().GetAttr(0, 0, "id");
    auto* view = new CViewBmp(doc_, 0, 0, refresh_);
    ASSERT_TRUE(PreviewSettled(*view));
    const int files = FileCount(doc_.ImagesFolder());
    ASSERT_TRUE(view->ChoosePicture(PictureFile(4000, 3000)));
    delete view;
    CViewBmp other(doc_, 0, 4, refresh_);
    ASSERT_TRUE(PreviewSettled(other));
    CPreviewWorker::WaitForIdle();
    QTest::qWait(0);
    EXPECT_EQ(File().GetAttr(0, 0, "id"), id);
    EXPECT_EQ(FileCount(doc_.ImagesFolder()), files);
    EXPECT_EQ(refreshed_, 0);
    // Its own purple placeholder (dark at the default thresholds), not the red photograph.
    EXPECT_LT(RedShare(other.LedFrame()->CurrentImage()), 0.5);
    EXPECT_EQ(other.Conversions(), 1);
}

// The worker under the editors: a superseded job sees its cancel flag and
// neither its progress nor its result arrives; a worker destroyed while its
// job runs (the editor closed) gets nothing, and the dropped result is
// destroyed, so what it would have kept is released.
TEST(PreviewWorker, OnlyTheLatestJobReachesTheGuiThread) {
    struct Released {
        bool* flag;
        ~Released() { *flag = true; }
    };
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "worker destroyed" : "job superseded");
        auto* worker = new CPreviewWorker;
        QSignalSpy progressed(worker, &CPreviewWorker::Progressed);
        QSignalSpy finished(worker, &CPreviewWorker::Finished);
        std::atomic<bool> started{false}, go{false}, sawCancel{false};
        QStringList applied;
        bool released = false;
        worker->Start([&](const std::atomic<bool>& cancelled, const CPreviewWorker::Progress& p) {
            started = true;
            while (!go) QThread::yieldCurrentThread();
            sawCancel = cancelled.load();
            p(11);
            auto keep = std::make_shared<Released>(Released{&released});
            return CPreviewWorker::Apply([&applied, keep] { applied << QStringLiteral("first"); });
        });
        // A job cancelled before it starts is never run: let it start first.
        while (!started) QThread::yieldCurrentThread();
        if (destroy) {
            delete worker;
            worker = nullptr;
        } else {
            worker->Start([&](const std::atomic<bool>&, const CPreviewWorker::Progress& p) {
                p(22);
                return CPreviewWorker::Apply([&applied] { applied << QStringLiteral("second"); });
            });
        }
        go = true;
        if (worker) {
            ASSERT_TRUE(finished.wait(10000));
        }
        CPreviewWorker::WaitForIdle();
        QTest::qWait(0);  // whatever the first job posted is delivered now, if at all
        EXPECT_TRUE(sawCancel);
        EXPECT_TRUE(released);
        EXPECT_EQ(applied, destroy ? QStringList() : QStringList{QStringLiteral("second")});
        if (worker) {
            EXPECT_EQ(finished.size(), 1);
            ASSERT_EQ(progressed.size(), 1);
            EXPECT_EQ(progressed.front().front().toInt(), 22);
            EXPECT_FALSE(worker->Busy());
            delete worker;
        }
    }
}

TEST_F(Editors, ChooseDialogsListEveryAcceptedTypeAndStartInTheLastFolder) {
    ASSERT_TRUE(QDir(dir_.Path()).mkpath(QStringLiteral("photos")));
    ASSERT_TRUE(QDir(dir_.Path()).mkpath(QStringLiteral("earlier")));
    // The folder a source was chosen from in an earlier run.
    QSettings(QStringLiteral("Quorvel"), QStringLiteral("Glowdeck"))
        .setValue(QStringLiteral("Settings1.1/SourceFolder"), dir_.File(QStringLiteral("earlier")));
    QImage image(112, 56, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString webp = dir_.File(QStringLiteral("photos/a.webp"));
    ASSERT_TRUE(image.save(webp, "webp"));
    CViewBmp pictures(doc_, 0, 0, refresh_);
    CViewGif animations(doc_, 0, 1, refresh_);
    const struct {
        QWidget* view;
        QString button;
        QString filter;
        int item;
        QString folder;  // where the dialog starts
    } cases[] = {
        {&pictures, QStringLiteral("选择图像"),
         QStringLiteral("图像 (*.jpg *.jpeg *.png *.bmp *.gif *.webp *.tif *.tiff)"), 0,
         dir_.File(QStringLiteral("earlier"))},
        {&animations, QStringLiteral("选择动画"),
         QStringLiteral("动画 (*.gif *.webp *.mp4 *.webm *.mkv *.mov *.avi)"), 1,
         dir_.File(QStringLiteral("photos"))},
    };
    for (const auto& c : cases) {
        QStringList filters;
        QString folder, name = QStringLiteral("unread");
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            filters = dialog->nameFilters();
            folder = dialog->directory().absolutePath();
            if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name = edit->text();
            dialog->selectFile(webp);
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept checks the choice
        });
        const QString before = File().GetAttr(0, c.item, "id");
        for (QAbstractButton* b : c.view->findChildren<QAbstractButton*>())
            if (b->text() == c.button) b->click();
        EXPECT_EQ(filters, QStringList{c.filter});
        EXPECT_EQ(name, QString()) << c.button.toStdString();
        EXPECT_EQ(folder, c.folder);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return File().GetAttr(0, c.item, "id") != before; }, 20000))
            << c.button.toStdString();
        EXPECT_EQ(File().GetInt(0, c.item, "width"), 112);
    }
}

TEST_F(Editors, AnimationOfSixtyFramesStoresFiftyAndPlays) {
    std::vector<QImage> frames;
    for (int f = 0; f < 60; ++f) {
        QImage image(56, 56, QImage::Format_RGB32);
        image.fill(f % 2 ? Qt::white : Qt::black);
        frames.push_back(image);
    }
    QByteArray gif;
    ASSERT_TRUE(EncodeGif(frames, std::vector<int>(60, 1), 0, &gif));
    CViewGif view(doc_, 0, 1, refresh_);
    const QString source = dir_.Write("a.gif", gif);
    ASSERT_TRUE(view.ChooseAnimation(source));
    EXPECT_EQ(sink_.texts, QStringList{QStringLiteral("动画共 60 帧，只使用前 50 帧")});
    EXPECT_EQ(File().GetInt(0, 1, "framecount"), 50);
    EXPECT_EQ(view.FrameCount(), 50);
    // The frame-count field spreads the frames over the whole animation instead.
    view.findChild<QSpinBox*>(QStringLiteral("frameCount"))->setValue(20);
    ASSERT_TRUE(view.ChooseAnimation(source));
    EXPECT_EQ(sink_.texts.size(), 1);
    EXPECT_EQ(view.FrameCount(), 20);
    EXPECT_EQ(File().GetIntList(0, 1, "interval"), std::vector<int>(20, 3));
    view.findChild<QSpinBox*>(QStringLiteral("frameCount"))->setValue(0);
    ASSERT_TRUE(view.ChooseAnimation(source));
    EXPECT_EQ(view.FrameCount(), 50);
    ASSERT_TRUE(PreviewSettled(view));
    EXPECT_TRUE(view.Converted());
    view.Play();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return view.SourceFrame()->Player().CurrentFrame() > 2; }, 10000));
    // Paused counts as running: a threshold change converts only after Stop.
    view.Play();
    ASSERT_TRUE(view.LedFrame()->Player().Paused());
    view.findChild<QSlider*>(QStringLiteral("slider0"))->setValue(200);
    view.Convert();
    EXPECT_FALSE(view.Converted());
    view.Stop();
    EXPECT_EQ(view.FrameText(), QStringLiteral("帧  1/50"));
    EXPECT_EQ(view.LoopText(), QStringLiteral("次  0/ 1"));
    view.Convert();
    ASSERT_TRUE(PreviewSettled(view));
    EXPECT_TRUE(view.Converted());
}

TEST_F(Editors, StillAnimationCannotPlay) {
    CViewGif view(doc_, 0, 1, refresh_);                               // the one-frame placeholder
    view.SourceFrame()->SetImage(QImage(4, 4, QImage::Format_RGB32));  // no frames given
    view.Play();
    EXPECT_EQ(sink_.texts.last(), QStringLiteral("只有1帧！"));
}

namespace {
// "确定" and the wait for its rendering on the worker to be stored or said.
bool ConfirmAndWait(CViewTxt& view) { return view.Confirm() && PreviewSettled(view); }
}  // namespace

TEST_F(Editors, ConfirmingATextGivesANewId) {
    CViewTxt view(doc_, 0, 2, refresh_);
    const QString before = File().GetAttr(0, 2, "id");
    view.SetText(QStringLiteral("彩球"));
    view.TextColours()->SelectColour(0x00FF00);
    emit view.TextColours()->activated(view.TextColours()->currentIndex());
    ASSERT_TRUE(ConfirmAndWait(view));
    EXPECT_NE(File().GetAttr(0, 2, "id"), before);
    EXPECT_EQ(File().GetInt(0, 2, "textcolor"), 0x00FF00);
    EXPECT_EQ(File().GetInt(0, 2, "height"), 56);
    view.OffsetSlider(2)->setValue(1000);
    EXPECT_EQ(view.OffsetText(2), QStringLiteral("100.0"));
    view.OffsetSlider(3)->setValue(-2000);
    EXPECT_EQ(view.OffsetText(3), QStringLiteral("-200.0"));
    const QString stored = File().GetAttr(0, 2, "id");
    view.SetText(QString());
    ASSERT_TRUE(ConfirmAndWait(view));
    EXPECT_EQ(sink_.texts.last(), QStringLiteral("无法生成此种文字！"));
    EXPECT_EQ(File().GetAttr(0, 2, "id"), stored);
}

// "确定" returns before the text is rendered (on a worker). What happens
// before the rendering is stored: a second "确定" drops the first (only the
// second is stored and shown), closing the editor drops it, and an edit
// that fails (the project damaged meanwhile) stores nothing; none leaves a
// file in Images/.
TEST_F(Editors, WhatHappensWhileATextRenders) {
    const QString first = QString(40, u'灯');
    enum class Then { ConfirmAgain, Close, DamageProject };
    struct Case {
        const char* what;
        Then then;
        bool stored;
    };
    const Case cases[] = {
        {"confirmed again", Then::ConfirmAgain, true},
        {"closed", Then::Close, false},
        {"project damaged", Then::DamageProject, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString id = File().GetAttr(0, 2, "id"), other = File().GetAttr(0, 1, "id");
        const int files = FileCount(doc_.ImagesFolder()), refreshed = refreshed_;
        auto* view = new CViewTxt(doc_, 0, 2, refresh_);
        view->SetText(first);
        ASSERT_TRUE(view->Confirm());
        EXPECT_EQ(File().GetAttr(0, 2, "id"), id);  // nothing stored yet
        switch (c.then) {
            case Then::ConfirmAgain:
                view->SetText(QStringLiteral("彩球"));
                ASSERT_TRUE(view->Confirm());
                break;
            case Then::Close:
                delete view;
                view = nullptr;
                break;
            case Then::DamageProject:
                File().SetAttr(0, 1, "id", QStringLiteral("../../outside/secret"));
                break;
        }
        if (view) {
            ASSERT_TRUE(PreviewSettled(*view));
        }
        // Whatever a dropped job still posts is dropped too.
        CPreviewWorker::WaitForIdle();
        QTest::qWait(0);
        EXPECT_EQ(FileCount(doc_.ImagesFolder()), files);  // at most the old file replaced
        if (c.stored) {
            EXPECT_NE(File().GetAttr(0, 2, "id"), id);
            EXPECT_EQ(File().GetText(0, 2, "text"), QStringLiteral("彩球"));
            const int length = File().GetInt(0, 2, "length");
            EXPECT_LT(length, 400);  // two characters, not 40
            EXPECT_EQ(view->LedFrame()->CurrentImage().width(), length);
            EXPECT_EQ(view->TextFrame()->CurrentImage().width(), length);
            EXPECT_EQ(refreshed_, refreshed + 1);
        } else {
            EXPECT_EQ(File().GetAttr(0, 2, "id"), id);
            EXPECT_NE(File().GetText(0, 2, "text"), first);
            EXPECT_EQ(refreshed_, refreshed);
        }
        if (c.then == Then::DamageProject) {
            EXPECT_TRUE(sink_.texts.last().startsWith(QStringLiteral("项目文件有误：")));
            File().SetAttr(0, 1, "id", other);
        }
        delete view;
    }
}

TEST_F(Editors, ConfirmedTextShowsTheRenderedStripBesideTheConvertedOne) {
    File().SetInt(0, 2, "r", 255);  // red lights everywhere once converted
    CViewTxt view(doc_, 0, 2, refresh_);
    view.SetText(QStringLiteral("彩"));
    view.TextColours()->SelectColour(0x00FF00);
    view.BackColours()->SelectColour(0x000000);
    ASSERT_TRUE(ConfirmAndWait(view));
    const QImage text = view.TextFrame()->CurrentImage();
    const QImage led = view.LedFrame()->CurrentImage();
    ASSERT_EQ(text.size(), led.size());
    EXPECT_EQ(QColor(text.pixel(0, 0)), QColor(0, 0, 0));  // the black background as rendered
    EXPECT_EQ(QColor(led.pixel(0, 0)), QColor(255, 0, 0));
}

TEST_F(Editors, TextBoxStopsAt200Characters) {
    CViewTxt view(doc_, 0, 2, refresh_);
    auto* box = view.findChild<QPlainTextEdit*>(QStringLiteral("text"));
    const QString a(150, u'甲'), b(40, u'乙'), full = a + b + QString(10, u'丁');
    const struct {
        QString before;
        int cursor;
        QString typed, after;
    } cases[] = {
        {a + b, 150, QString(20, u'丙'), a + QString(10, u'丙') + b},  // what fits, where it went
        {full, 100, QStringLiteral("x"), full},                        // full: nothing more
        {QString(), 0, QString(250, u'字'), QString(200, u'字')},
    };
    for (const auto& c : cases) {
        view.SetText(c.before);
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(c.cursor);
        box->setTextCursor(cursor);
        box->insertPlainText(c.typed);
        EXPECT_EQ(box->toPlainText(), c.after);
    }
    // Text set at once keeps its first 200 characters, and they are stored.
    view.SetText(QString(200, u'文') + QStringLiteral("多余的字"));
    EXPECT_EQ(box->toPlainText(), QString(200, u'文'));
    ASSERT_TRUE(ConfirmAndWait(view));
    EXPECT_EQ(File().GetText(0, 2, "text"), QString(200, u'文'));
}

TEST_F(Editors, FontDialogChoosesTheTextColour) {
    CViewTxt view(doc_, 0, 2, refresh_);
    view.TextColours()->SelectColour(0x00FF00);
    emit view.TextColours()->activated(view.TextColours()->currentIndex());  // the user's pick
    unsigned preset = 1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CFontColourDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        preset = dialog->Colour();
        dialog->Colours()->SelectColour(0xFF0000);
        dialog->accept();
    });
    view.findChild<QAbstractButton*>(QStringLiteral("changeFont"))->click();
    EXPECT_EQ(preset, 0x00FF00u);  // opened on the view's text colour
    EXPECT_EQ(view.TextColours()->Colour(), 0xFF0000u);
    ASSERT_TRUE(ConfirmAndWait(view));
    EXPECT_EQ(File().GetInt(0, 2, "textcolor"), 0xFF0000);
}

TEST_F(Editors, IntervalLengthAppliesOnce200msAfterTheDrag) {
    CViewNull view(doc_, 0, 3, refresh_);
    for (int v = 1; v <= 300; v += 30) view.LengthSlider()->setValue(v);
    view.LengthSlider()->setValue(300);
    EXPECT_EQ(view.Applied(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.Applied() > 0; }, 3000));
    QTest::qWait(400);
    EXPECT_EQ(view.Applied(), 1);
    EXPECT_EQ(File().GetInt(0, 3, "length"), 300);
    EXPECT_EQ(ImageFileSize(Source(3, ".jpg")), QSize(300, 56));
}

TEST_F(Editors, OnlyTheUsersChoicesAskForACompile) {
    File().SetInt(0, 2, "textcolor", 0x00FF00);
    File().SetInt(0, 2, "backcolor", 0xFF0000);
    File().SetText(0, 2, "text", QStringLiteral("光"));
    doc_.MarkCompiled(doc_.Revision());
    {
        CViewTxt listed(doc_, 0, 2, refresh_);  // the lists select green and blue
        EXPECT_FALSE(doc_.NeedsCompile());
    }
    // A text whose colour is none of the eight, stored by hand.
    File().SetInt(0, 2, "textcolor", 0x123456);
    {
        CViewBmp picture(doc_, 0, 0, refresh_);
        CViewGif animation(doc_, 0, 1, refresh_);
        CViewTxt text(doc_, 0, 2, refresh_);
        CViewNull interval(doc_, 0, 3, refresh_);
        EXPECT_FALSE(doc_.NeedsCompile());  // opening changes nothing

        // 确定 keeps the stored colour the lists cannot show.
        ASSERT_TRUE(ConfirmAndWait(text));
        EXPECT_EQ(File().GetInt(0, 2, "textcolor"), 0x123456);
        // Choosing black, already the entry shown, is still a choice.
        doc_.MarkCompiled(doc_.Revision());
        CColorComboBox* colours = text.TextColours();
        ASSERT_EQ(colours->currentIndex(), 0);
        emit colours->activated(0);
        EXPECT_TRUE(doc_.NeedsCompile());
        ASSERT_TRUE(ConfirmAndWait(text));
        EXPECT_EQ(File().GetInt(0, 2, "textcolor"), 0);
    }
}

namespace {
// The project file can no longer be replaced (a folder stands in its place):
// every store gets as far as its save and fails there.
void BlockProjectSaves(const CGlowdeckDoc& doc) {
    ASSERT_TRUE(QFile::remove(doc.ProjectFilePath()));
    ASSERT_TRUE(QDir().mkdir(doc.ProjectFilePath()));
}
}  // namespace

// A setting whose store failed is not the item's setting: the view shows what
// the item holds, not the refused value.
TEST_F(Editors, PictureColourThatCannotBeStoredIsNotShownAsSet) {
    CViewBmp view(doc_, 0, 0, refresh_);
    ASSERT_TRUE(PreviewSettled(view));
    QSlider* red = view.findChild<QSlider*>(QStringLiteral("colour0"));
    ASSERT_NE(red, nullptr);
    const int stored = File().GetInt(0, 0, "r");
    BlockProjectSaves(doc_);
    const int before = view.Conversions();
    red->setValue(stored + 50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Conversions() > before; }, 3000));
    ASSERT_EQ(File().GetInt(0, 0, "r"), stored);  // rolled back
    EXPECT_FALSE(sink_.texts.isEmpty());
    EXPECT_EQ(red->value(), stored);
}

TEST_F(Editors, AnimationLoopThatCannotBeStoredIsNotShownAsSet) {
    CViewGif view(doc_, 0, 1, refresh_);
    QSlider* loop = view.findChild<QSlider*>(QStringLiteral("slider3"));
    ASSERT_NE(loop, nullptr);
    const int stored = File().GetInt(0, 1, "loop");
    BlockProjectSaves(doc_);
    loop->setValue(stored + 4);  // the loop slider stores at once
    ASSERT_EQ(File().GetInt(0, 1, "loop"), stored);
    EXPECT_FALSE(sink_.texts.isEmpty());
    EXPECT_EQ(loop->value(), stored);
}

TEST_F(Editors, IntervalLengthThatCannotBeStoredIsNotShownAsSet) {
    CViewNull view(doc_, 0, 3, refresh_);
    const int stored = File().GetInt(0, 3, "length");
    BlockProjectSaves(doc_);
    view.LengthSlider()->setValue(stored + 40);
    view.Apply();
    ASSERT_EQ(File().GetInt(0, 3, "length"), stored);
    EXPECT_FALSE(sink_.texts.isEmpty());
    EXPECT_EQ(view.LengthSlider()->value(), stored);
}
