// SPDX-License-Identifier: GPL-3.0-or-later
// The animation view's start, duration and frame-count fields decide what a
// video clip gives.
#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QSpinBox>
#include <numeric>

#include "editors/CViewGif.h"
#include "led/VideoClip.h"
#include "model/GlowdeckDoc.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"
#include "support/VideoBuilder.h"

using namespace glowdeck;
using namespace glowdeck::test;

TEST(VideoView, FieldsChooseTheStretchAndFramesOfAClip) {
    SetVideoDecoderPath(QStringLiteral(GLOWDECK_VIDEO_DECODER));
    TempDir dir;
    RecordingSink sink;
    CGlowdeckDoc doc(sink);
    doc.SetProjectRoot(dir.Path());
    ASSERT_TRUE(doc.CreateProjectNamed(QStringLiteral("p")));
    ASSERT_TRUE(doc.NewAnimation(1, QStringLiteral("动")));
    const QString clip = WriteGreyRamp(dir, "sixty.mp4", 60, 30);  // 2 s
    CViewGif view(doc, 0, 0, [](int) {});
    const struct {
        double start, duration;
        int frames, count, total;  // fields; frames stored, hundredths they run
    } cases[] = {{0, 0, 0, 50, 200}, {0.5, 1, 0, 30, 100}, {0.5, 1, 10, 10, 100}};
    for (const auto& c : cases) {
        view.findChild<QDoubleSpinBox*>(QStringLiteral("clipStart"))->setValue(c.start);
        view.findChild<QDoubleSpinBox*>(QStringLiteral("clipDuration"))->setValue(c.duration);
        view.findChild<QSpinBox*>(QStringLiteral("frameCount"))->setValue(c.frames);
        ASSERT_TRUE(view.ChooseAnimation(clip)) << sink.texts.join('\n').toStdString();
        EXPECT_EQ(view.FrameCount(), c.count);
        const std::vector<int> delays = doc.ProjectFile()->GetIntList(0, 0, "interval");
        EXPECT_EQ(std::accumulate(delays.begin(), delays.end(), 0), c.total);
    }
}
