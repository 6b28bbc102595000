// SPDX-License-Identifier: GPL-3.0-or-later
// The item list pane on a group of 300 large photographs (1600 × 1200 JPEG):
// how long the window waits when the group is shown, the longest single
// step of thumbnail filling (the longest the window cannot react), the
// whole fill, and showing the group again from the cache — beside decoding
// one photograph at full size, and beside Pillow making the same thumbnails
// (draft mode, then thumbnail) in two processes. The photographs carry an
// EXIF thumbnail, as a camera's or a phone's do.
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "app/CItemListPane.h"
#include "base/HeadlessEnvironment.h"
#include "base/MessageSink.h"
#include "bench/Must.h"
#include "led/ImageCodec.h"
#include "model/GlowdeckDoc.h"
#include "support/ExifJpeg.h"

using namespace glowdeck;

namespace {

// Milliseconds Pillow takes for the thumbnails of `paths` in a pool of two
// processes (started before the clock runs); 0 without Pillow.
double PillowThumbnails(const QStringList& paths) {
    static const char script[] = R"(
import sys, time
from multiprocessing import Pool
from PIL import Image
def thumb(path):
    im = Image.open(path)
    im.draft("RGB", (100, 75))
    im.thumbnail((100, 75))
    return im.size
paths = sys.stdin.read().split("\n")
with Pool(2) as pool:
    pool.map(thumb, paths[:4])
    best = 1e9
    for _ in range(3):
        start = time.perf_counter()
        pool.map(thumb, paths, chunksize=8)
        best = min(best, time.perf_counter() - start)
print(best * 1000)
)";
    // Debian's own Python, which python3-pil installs into.
    const QString interpreter = QFile::exists(QStringLiteral("/usr/bin/python3"))
                                    ? QStringLiteral("/usr/bin/python3")
                                    : QStringLiteral("python3");
    QProcess python;
    python.start(interpreter, {QStringLiteral("-c"), QString::fromLatin1(script)});
    python.write(paths.join(QLatin1Char('\n')).toUtf8());
    python.closeWriteChannel();
    if (!python.waitForFinished(300000) || python.exitCode() != 0) return 0;
    return python.readAllStandardOutput().trimmed().toDouble();
}

}  // namespace

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
    QByteArray jpeg, small;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        Must(photo.save(&buffer, "JPEG", 90), "encoding a photograph");
        QBuffer thumb(&small);
        thumb.open(QIODevice::WriteOnly);
        Must(photo.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                 .save(&thumb, "JPEG", 90),
             "encoding its thumbnail");
    }
    const QByteArray camera = test::WithExif(jpeg, 1, small);
    QStringList paths;
    for (int n = 0; n < 300; ++n) {
        doc.ProjectFile()->AppendItem(0, ItemKind::Picture, QStringLiteral("照片"),
                                      CProjectFile::GenerateId());
        paths << doc.SourceImagePathFor(ItemKind::Picture, doc.ProjectFile()->GetAttr(0, n, "id"));
        QFile file(paths.last());
        Must(file.open(QIODevice::WriteOnly) && file.write(camera) == camera.size(),
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
        // The cores are the workers' meanwhile, as in the window's idle wait.
        if (pane.Pending() > 0) QThread::usleep(200);
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
    const double pillow = PillowThumbnails(paths);
    if (pillow > 0)
        std::printf("%-44s %8.1f ms   ratio %.2f (target <= 0.5)\n",
                    "Pillow, draft + thumbnail, two processes", pillow, fill / pillow);
    else
        std::printf("Pillow (python3-pil) is not installed: no comparison\n");
    return full.isNull() ? 1 : 0;
}
