// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing a 4000 × 3000 photograph in the picture editor: how long the
// conversion of the photograph takes (decoding, reducing, thresholding and
// packing it, as the editor's preview does), and the longest time the GUI
// thread cannot react while the editor takes the choice and shows its
// conversion (a 1 ms timer on the GUI thread; the largest gap between its
// ticks, less the 1 ms it waits). The same for "确定" of a 180-character
// Chinese text in the text editor: the rendering and conversion of the text
// against the longest stall while the editor confirms it.
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMetaEnum>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/BallConfig.h"
#include "base/HeadlessEnvironment.h"
#include "base/MessageSink.h"
#include "bench/Must.h"
#include "editors/CViewBmp.h"
#include "editors/CViewTxt.h"
#include "editors/PreviewWorker.h"
#include "led/PictureConverter.h"
#include "led/Threshold.h"
#include "model/GlowdeckDoc.h"
#include "model/ItemOperations.h"

using namespace glowdeck;

namespace {

// A photograph-like picture: soft gradients, shapes and sensor noise, so
// that the JPEG holds about as much data as a camera's of its size.
QByteArray Photograph(int width, int height, int seed) {
    QImage photo(width, height, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(40 + seed * 10, 90, 160));
    sky.setColorAt(1, QColor(220, 180, 90));
    painter.fillRect(photo.rect(), sky);
    QRandomGenerator random(static_cast<quint32>(seed));
    for (int k = 0; k < 120; ++k) {
        painter.setBrush(QColor::fromHsv(random.bounded(360), 150, 200));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(random.bounded(width), random.bounded(height), random.bounded(600),
                            random.bounded(600));
    }
    painter.end();
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = static_cast<int>(random.bounded(24)) - 12;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + n, 0, 255), std::clamp(qGreen(p) + n, 0, 255),
                           std::clamp(qBlue(p) + n, 0, 255));
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    Must(photo.save(&buffer, "JPEG", 90), "encoding a photograph");
    return jpeg;
}

// The largest gap in milliseconds between ticks of a 1 ms timer on the GUI
// thread, from `start` until `done` says so: how long the window could not
// answer.
template <typename Done, typename Start>
double LongestGap(Done done, Start start) {
    QEventLoop loop;
    QElapsedTimer clock;
    double longest = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.nsecsElapsed() / 1e6 - 1);
        clock.restart();
        if (done()) loop.quit();
    });
    start();
    clock.start();
    probe.start();
    loop.exec();
    return longest;
}

// The application with a stopwatch on each event that the event loop
// dispatches (not the ones sent while another is handled): the longest one
// and what it was tell which piece of the GUI thread's work a stall is.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (!timing_ || depth_ > 0) return QApplication::notify(receiver, event);
        // Read before: the event or its receiver may be gone afterwards.
        const int type = event->type();
        const char* receiverClass = receiver->metaObject()->className();
        ++depth_;
        QElapsedTimer timer;
        timer.start();
        const bool handled = QApplication::notify(receiver, event);
        const double ms = timer.nsecsElapsed() / 1e6;
        --depth_;
        if (ms > longest_) {
            longest_ = ms;
            const char* name = QMetaEnum::fromType<QEvent::Type>().valueToKey(type);
            longestWhat_ = QStringLiteral("%1 on %2")
                               .arg(name ? QString::fromLatin1(name) : QString::number(type),
                                    QString::fromLatin1(receiverClass));
        }
        return handled;
    }
    void StartTiming() {
        timing_ = true;
        longest_ = 0;
        longestWhat_.clear();
    }
    void StopTiming() { timing_ = false; }
    double Longest() const { return longest_; }
    const QString& LongestWhat() const { return longestWhat_; }

private:
    bool timing_ = false;
    int depth_ = 0;
    double longest_ = 0;
    QString longestWhat_;
};

// What the probe saw over several showings: the longest gap of each, the
// time until each was shown, and the longest single GUI-thread event of each.
struct Showings {
    std::vector<double> stalls, totals, longestEvents;
    QStringList longestWhats;

    // Runs `act` from the event loop and probes until `shown` says its result
    // is there, and a few ticks more, so that the window's painting counts too.
    template <typename Shown, typename Act>
    void Measure(TimedApplication& app, Shown shown, Act act) {
        QElapsedTimer whole;
        int ticksAfter = 0;
        stalls.push_back(LongestGap(
            [&] {
                if (!shown()) return false;
                if (ticksAfter == 0) totals.push_back(whole.nsecsElapsed() / 1e6);
                return ++ticksAfter > 5;
            },
            [&] {
                QTimer::singleShot(5, [&] {
                    app.StartTiming();
                    whole.start();
                    act();
                });
            }));
        app.StopTiming();
        longestEvents.push_back(app.Longest());
        longestWhats << app.LongestWhat();
    }

    // The median stall, its spread, and its ratio to `work` (the target's).
    void PrintStall(double work) const {
        const double stall = Median(stalls);
        std::printf("%-48s %8.1f ms   (%.1f-%.1f) ratio %.3f (target <= 0.10)\n",
                    "longest GUI-thread stall meanwhile", stall,
                    *std::min_element(stalls.begin(), stalls.end()),
                    *std::max_element(stalls.begin(), stalls.end()), stall / work);
    }

    // The median run's longest event, and which event it was.
    void PrintLongestEvent() const {
        const double longest = Median(longestEvents);
        const auto median = std::find(longestEvents.begin(), longestEvents.end(), longest);
        std::printf("%-48s %8.1f ms   (%s)\n", "longest single GUI-thread event", longest,
                    qPrintable(longestWhats[median - longestEvents.begin()]));
    }
};

// "确定" of a 180-character Chinese text in the text editor: the rendering
// and conversion alone, then the longest stall while the editor confirms it.
int ConfirmText(TimedApplication& app, CGlowdeckDoc& doc) {
    Must(doc.NewText(1, QStringLiteral("文字")));
    const int item = doc.ProjectFile()->ItemCount(0) - 1;
    const QString phrase = QStringLiteral(
        "旋转的彩球上有五十六颗灯，每一列都随着转动亮起不同的颜色，远看就是一幅图画或一行文字。");
    QString text;
    while (text.size() < 180) text += phrase;
    text.truncate(180);
    constexpr int Runs = 3;
    item_ops::TextSettings settings;
    settings.text = text;
    settings.fontSize = doc.ProjectFile()->GetInt(0, item, "fontsize");
    const QRgb threshold = item_ops::TextThreshold(*doc.ProjectFile(), 0, item);
    std::vector<double> renderings;
    for (int n = 0; n < Runs; ++n) {
        const QString target = doc.ImagesFolder() + QStringLiteral("bench-text.bmp");
        QElapsedTimer timer;
        timer.start();
        const item_ops::PreparedText prepared =
            item_ops::PrepareText(settings, threshold, QStringLiteral("bench"), target);
        renderings.push_back(timer.nsecsElapsed() / 1e6);
        Must(prepared.written, "rendering a text");
        QFile::remove(target);
    }

    CViewTxt view(doc, 0, item, [](int) {});
    view.resize(900, 700);
    view.show();
    view.SetText(text);
    QApplication::processEvents();
    Showings showings;
    for (int n = 0; n < Runs; ++n) {
        const QString id = doc.ProjectFile()->ItemId(0, item);
        showings.Measure(
            app,
            [&] { return doc.ProjectFile()->ItemId(0, item) != id && !view.Previews()->Busy(); },
            [&] { Must(view.Confirm(), "confirming a text"); });
    }
    CPreviewWorker::WaitForIdle();

    const double rendering = Median(renderings);
    std::printf("\n\"确定\" of a 180-character text in the text editor (median of %d)\n", Runs);
    std::printf("%-48s %8.1f ms\n", "its rendering and conversion", rendering);
    std::printf("%-48s %8.1f ms\n", "the confirmation until the editor shows it",
                Median(showings.totals));
    showings.PrintStall(rendering);
    showings.PrintLongestEvent();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    PrepareHeadlessEnvironment();
    TimedApplication app(argc, argv);
    QTemporaryDir dir;
    StderrMessageSink messages;
    CGlowdeckDoc doc(messages);
    doc.SetProjectRoot(dir.path());
    Must(doc.CreateProjectNamed(QStringLiteral("photo")));
    Must(doc.NewPicture(1, QStringLiteral("照片")));
    // As in the desktop program, the only one with editors: every edit is a
    // step that can be undone, and a replaced source goes to the history.
    doc.SetHistoryEnabled(true);
    constexpr int Runs = 5;
    QStringList photos;
    for (int n = 0; n < Runs; ++n) {
        photos << dir.filePath(QStringLiteral("photo%1.jpg").arg(n));
        const QByteArray jpeg = Photograph(4000, 3000, n);
        QFile file(photos.last());
        Must(file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size(),
             "writing a photograph");
    }

    // The conversion alone, as the preview converts: decoded at a reduced
    // scale, reduced to 56 rows, thresholded and packed.
    std::vector<double> conversions;
    for (const QString& path : photos) {
        QElapsedTimer timer;
        timer.start();
        CPictureConverter converter;
        Must(converter.LoadFile(path), "converting a photograph");
        converter.SetThreshold(ThresholdColour(128, 128, 128));
        Must(converter.Convert(BallConfig{1, 0}), "converting a photograph");
        conversions.push_back(timer.nsecsElapsed() / 1e6);
    }

    // The synced save of the project file that storing the choice ends with.
    std::vector<double> saves;
    for (int n = 0; n < Runs; ++n) {
        QElapsedTimer timer;
        timer.start();
        Must(doc.SaveProject());
        saves.push_back(timer.nsecsElapsed() / 1e6);
    }

    CViewBmp view(doc, 0, 0, [](int) {});
    view.resize(900, 700);
    view.show();
    // Settle the editor's own start (its first conversion).
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2000) QApplication::processEvents(QEventLoop::AllEvents, 50);

    // The same probe with nothing to do, as long as a choice takes: what the
    // machine's scheduling alone costs the GUI thread.
    std::vector<double> idle;
    for (int n = 0; n < Runs; ++n) {
        int ticks = 0;
        idle.push_back(LongestGap([&] { return ++ticks == 150; }, [] {}));
    }

    // Each photograph chosen from a running event loop; the probe ticks every
    // millisecond and keeps the largest gap until the editor shows the result
    // and a few ticks more, so that the window's painting of it counts too.
    Showings showings;
    for (const QString& path : photos) {
        const int before = view.Conversions();
        showings.Measure(
            app, [&] { return view.Conversions() != before; },
            [&] { Must(view.ChoosePicture(path), "choosing a photograph"); });
    }

    const double conversion = Median(conversions), stall = Median(showings.stalls),
                 total = Median(showings.totals);
    std::printf("choosing a 4000x3000 photograph in the picture editor (median of %d)\n", Runs);
    std::printf("%-48s %8.1f ms\n", "its conversion (decode, reduce, threshold, pack)", conversion);
    std::printf("%-48s %8.1f ms\n", "the choice until the editor shows it", total);
    showings.PrintStall(conversion);
    std::printf("%-48s %8.1f ms\n", "longest gap of the idle probe (150 ticks)", Median(idle));
    // The event of the median run's longest one names the piece.
    showings.PrintLongestEvent();
    std::printf("%-48s %8.1f ms   (the edit's step holds one)\n",
                "the project file's synced save alone", Median(saves));
    std::printf("%-48s %8.3f\n", "stall against the choice until shown", stall / total);
    return ConfirmText(app, doc);
}
