// SPDX-License-Identifier: GPL-3.0-or-later
// The show preview's cost, measured side by side in one run on a show at the
// ball's 500000-byte limit (ten groups of mixed colours, one with a 20-frame
// animation of a whole turn):
//   a strip-view frame and a ball-view frame, both 800 × 800, alternately in
//   rounds (target: a ball frame at most 2 × a strip frame; both reported in
//   frames per second, aim 60 or more);
//   exporting a 10-second ball GIF at 400 px (drawing and encoding), against
//   its playing time (target at most 1 ×).
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/Must.h"
#include "led/LedOrder.h"
#include "show/AnimationExport.h"
#include "show/BallRenderer.h"
#include "show/Show.h"
#include "show/ShowTimeline.h"
#include "show/StripRenderer.h"

using namespace glowdeck;

namespace {

void Put(QByteArray& data, int at, unsigned value, int bytes) {
    for (int k = 0; k < bytes; ++k) data[at + k] = char((value >> (8 * k)) & 0xFF);
}

// Ten groups; group 1 holds an animation of 20 frames × 112 columns, 40 ms each.
QByteArray FullShow() {
    const int groups = 10, frames = 20, frameColumns = 112;
    const int indexLength = 22 + groups * 6 + 7 + 4 * frames;
    const int columns = (500000 - indexLength) / 21;
    const int perGroup = columns / groups;
    QByteArray data(indexLength, '\0');
    data[0] = char(0xAA);
    data[1] = char(groups);
    int header = 22, offset = indexLength;
    for (int g = 0; g < groups; ++g) {
        Put(data, 2 + 2 * g, header, 2);
        Put(data, header, offset, 3);
        Put(data, header + 3, perGroup, 2);
        data[header + 5] = char(g == 0 ? 1 : 0);
        header += 6;
        if (g == 0) {
            Put(data, header, offset + 21 * 100, 3);  // after 100 still columns
            data[header + 3] = char(frames);
            Put(data, header + 4, frames * frameColumns, 2);
            data[header + 6] = 0;
            header += 7;
            for (int f = 0; f < frames; ++f, header += 4) {
                Put(data, header, frameColumns, 2);
                Put(data, header + 2, 40, 2);
            }
        }
        offset += perGroup * 21;
    }
    // Columns of every colour, changing from column to column.
    std::uint32_t seed = 12345;
    QByteArray columnBytes(perGroup * groups * 21, '\0');
    for (char& c : columnBytes) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 24);
    }
    return data + columnBytes;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QByteArray data = FullShow();
    QString why;
    const std::optional<CShow> show = CShow::Read(data, {1, 0}, &why);
    Must(show.has_value(), qPrintable(QStringLiteral("reading the show: ") + why));
    const ShowGroup& group = show->Groups()[0];

    const int size = 800;
    CStripRenderer strip(size / LedRows);
    // As the show window draws a ball this large: a place for every 2 × 2 pixels.
    CBallRenderer ball, fine;
    ball.SetView(size, 20, 112, 2);
    fine.SetView(size, 20, 112);
    QImage stripFrame(size, size, QImage::Format_RGB32), ballFrame;
    const int fits = size / strip.Pitch();

    // Rounds of 60 frames each, alternately; the medians of the rounds.
    std::vector<double> stripMs, ballMs, fineMs;
    QElapsedTimer clock;
    long long t = 0;
    for (int round = 0; round < 7; ++round) {
        clock.start();
        for (int k = 0; k < 60; ++k, t += 16) {
            const std::vector<int> columns = group.StripAt(t);
            stripFrame.fill(Qt::black);
            QPainter painter(&stripFrame);
            strip.Draw(painter, QPoint(0, (size - LedRows * strip.Pitch()) / 2), group.columns,
                       columns, static_cast<int>((t / 40) % 100), fits);
        }
        stripMs.push_back(clock.nsecsElapsed() / 1e6 / 60);
        clock.start();
        for (int k = 0; k < 60; ++k, t += 16) {
            const std::vector<int> columns = group.StripAt(t);
            ball.Render(&ballFrame, {&group.columns, &columns}, t * 0.09, t / 40);
        }
        ballMs.push_back(clock.nsecsElapsed() / 1e6 / 60);
        clock.start();
        for (int k = 0; k < 20; ++k, t += 16) {
            const std::vector<int> columns = group.StripAt(t);
            fine.Render(&ballFrame, {&group.columns, &columns}, t * 0.09, t / 40);
        }
        fineMs.push_back(clock.nsecsElapsed() / 1e6 / 20);
    }
    std::sort(stripMs.begin(), stripMs.end());
    std::sort(ballMs.begin(), ballMs.end());
    std::sort(fineMs.begin(), fineMs.end());
    const double s = stripMs[3], b = ballMs[3];
    std::printf("show preview, 800 x 800, a 500000-byte show (median of 7 rounds of 60 frames):\n");
    std::printf("  strip view: %.2f ms a frame, %.0f frames/s\n", s, 1000 / s);
    std::printf("  ball view:  %.2f ms a frame, %.0f frames/s\n", b, 1000 / b);
    std::printf("  ball / strip: %.2f (target <= 2)\n", b / s);
    std::printf(
        "  (ball view with a place for every pixel, as the stills and exports: %.2f ms, "
        "%.2f x the strip)\n",
        fineMs[3], fineMs[3] / s);

    // A 10-second ball GIF at 400 px: one group shown for a 10-second turn.
    clock.start();
    CBallRenderer small;
    small.SetView(400, 20, 112);
    std::unique_ptr<IAnimationWriter> writer = MakeAnimationWriter(AnimationFormat::Gif);
    long long playMs = 0;
    int frames = 0;
    for (const ShowFrame& f : BallFrames(*show, {0}, 10000)) {
        const std::vector<int> columns = group.StripAt(f.groupMs);
        small.Render(&ballFrame, {&group.columns, &columns}, f.showMs * 0.036,
                     f.groupMs * 28 / 1000);
        Must(writer->Add(ballFrame, f.delayMs, &why), "adding a frame");
        playMs += f.delayMs;
        ++frames;
    }
    QByteArray gif;
    Must(writer->Finish(&gif, &why), "encoding the GIF");
    const double exportMs = clock.nsecsElapsed() / 1e6;
    std::printf(
        "  ball GIF, 400 px, %d frames, %.1f s of play: %.0f ms to draw and encode, %lld KB;"
        " %.2f x its playing time (target <= 1)\n",
        frames, playMs / 1000.0, exportMs, static_cast<long long>(gif.size() / 1024),
        exportMs / playMs);
    return 0;
}
