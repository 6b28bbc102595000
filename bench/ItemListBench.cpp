// The item list pane on a group of 300 large photographs (1600 × 1200 JPEG):
// how long the window waits when the group is shown, the longest single
// step of thumbnail filling (the longest the window cannot react), the
// whole fill, and showing the group again from the cache — beside decoding
// one photograph at full size.
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

#include "app/CItemListPane.h"
#include "base/HeadlessEnvironment.h"
#include "base/MessageSink.h"
#include "bench/Must.h"
#include "led/ImageCodec.h"
#include "model/GlowdeckDoc.h"

using namespace glowdeck;

int main(int argc, char** argv) {
    PrepareHeadlessEnvironment();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    doc.SetProjectRoot(dir.path());
    Must(doc.CreateProjectNamed(QStringLiteral("photos")));
    QImage photo(1600, 1200, QImage::Format_RGB32);
    QPainter painter(&photo);
    painter.fillRect(photo.rect(), QLinearGradient(0, 0, 1600, 1200));
    for (int k = 0; k < 40; ++k)
        painter.fillRect(k * 40, (k * 97) % 1100, 60, 80, QColor::fromHsv(k * 9, 200, 230));
    painter.end();
    QByteArray jpeg;
    for (int n = 0; n < 300; ++n) {
        doc.ProjectFile()->AppendItem(0, ItemKind::Picture, QStringLiteral("照片"),
                                      CProjectFile::GenerateId());
        Must(EncodeImage(
                 photo,
                 doc.SourceImagePathFor(ItemKind::Picture, doc.ProjectFile()->GetAttr(0, n, "id")),
                 QStringLiteral("image/jpeg")),
             "writing a photograph");
    }
    Must(doc.SaveProject());

    QElapsedTimer timer;
    timer.start();
    const QImage full = DecodeImage(
        doc.SourceImagePathFor(ItemKind::Picture, doc.ProjectFile()->GetAttr(0, 0, "id")));
    const double oneFull = timer.nsecsElapsed() / 1e6;

    CItemListPane pane(doc);
    pane.resize(1200, 150);
    pane.show();
    timer.restart();
    pane.ShowGroup(1);
    const double show = timer.nsecsElapsed() / 1e6;
    double longest = 0;
    timer.restart();
    while (pane.Pending() > 0) {
        QElapsedTimer step;
        step.start();
        QApplication::processEvents();
        longest = std::max(longest, step.nsecsElapsed() / 1e6);
    }
    const double fill = timer.nsecsElapsed() / 1e6;
    timer.restart();
    pane.ShowGroup(1);
    pane.FinishThumbnails();
    const double cached = timer.nsecsElapsed() / 1e6;

    std::printf("300 photographs of 1600x1200 (one decodes at full size in %.1f ms)\n", oneFull);
    std::printf("%-44s %8.1f ms\n", "group shown (captions, window free again)", show);
    std::printf("%-44s %8.1f ms   (target: well under 100 ms)\n",
                "longest step while thumbnails fill", longest);
    std::printf("%-44s %8.1f ms   (%.1f ms a photograph)\n", "all 300 thumbnails", fill,
                fill / 300);
    std::printf("%-44s %8.1f ms\n", "the same group again, from the cache", cached);
    return full.isNull() ? 1 : 0;
}
