// The animation view with a video clip: its start, duration and frame-count
// fields decide what the clip gives.
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
    auto* start = view.findChild<QDoubleSpinBox*>(QStringLiteral("clipStart"));
    auto* duration = view.findChild<QDoubleSpinBox*>(QStringLiteral("clipDuration"));
    auto* frames = view.findChild<QSpinBox*>(QStringLiteral("frameCount"));
    ASSERT_TRUE(start && duration && frames);
    const struct {
        double start, duration;
        int frames;
        int count, total;  // frames stored, hundredths they run
    } cases[] = {
        {0, 0, 0, 50, 200},    // spread to 50 over the whole clip
        {0.5, 1, 0, 30, 100},  // a second of it, whole
        {0.5, 1, 10, 10, 100},
    };
    for (const auto& c : cases) {
        start->setValue(c.start);
        duration->setValue(c.duration);
        frames->setValue(c.frames);
        ASSERT_TRUE(view.ChooseAnimation(clip)) << sink.texts.join('\n').toStdString();
        EXPECT_EQ(view.FrameCount(), c.count);
        const std::vector<int> delays = doc.ProjectFile()->GetIntList(0, 0, "interval");
        EXPECT_EQ(std::accumulate(delays.begin(), delays.end(), 0), c.total);
        EXPECT_TRUE(view.Converted());
    }
    EXPECT_TRUE(sink.texts.isEmpty()) << sink.texts.join('\n').toStdString();
    // A start past the clip's end is refused with the decoder's reason.
    start->setValue(5);
    duration->setValue(0);
    EXPECT_FALSE(view.ChooseAnimation(clip));
    ASSERT_FALSE(sink.texts.isEmpty());
    EXPECT_TRUE(sink.texts.last().contains(QStringLiteral("the clip ends before that start")));
}
