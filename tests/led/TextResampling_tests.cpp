// SPDX-License-Identifier: GPL-3.0-or-later
// The text strip's resampling without OpenCV gives the very bytes OpenCV's
// remap and resize gave: strips rendered before and after stay identical.
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <opencv2/imgproc.hpp>

#include "led/TextResampling.h"

namespace glowdeck {
namespace {

// Mostly flat ink and ground with anti-aliased edges, like a text rendering.
QImage TextLike(int w, int h, quint32 seed) {
    QRandomGenerator random(seed);
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const quint32 r = random.generate();
            const int pick = static_cast<int>(r % 4);
            image.setPixel(x, y,
                           pick == 0   ? 0xFF000000u
                           : pick == 1 ? 0xFFFF0000u
                                       : r | 0xFF000000u);
        }
    return image;
}

cv::Mat Wrap(const QImage& image) {
    return cv::Mat(image.height(), image.width(), CV_8UC4, const_cast<uchar*>(image.constBits()),
                   static_cast<size_t>(image.bytesPerLine()));
}

TEST(TextResampling, QuarterTurnMatchesTheRemapStripsWereMadeWith) {
    const QSize sizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {168, 37}, {168, 1000}, {31, 9}};
    for (const QSize& size : sizes) {
        const QImage in = TextLike(size.width(), size.height(), 7u * size.width() + size.height());
        const int w = in.width(), h = in.height();
        cv::Mat mapX(w, h, CV_32FC1), mapY(w, h, CV_32FC1);
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < h; ++x) {
                mapX.at<float>(y, x) = static_cast<float>(w - y - 0.5);
                mapY.at<float>(y, x) = static_cast<float>(x + 0.5);
            }
        QImage expected(h, w, QImage::Format_ARGB32);
        cv::Mat dst = Wrap(expected);
        cv::remap(Wrap(in), dst, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        EXPECT_EQ(QuarterTurnSampled(in), expected) << w << "x" << h;
    }
}

TEST(TextResampling, ReductionToTheStripMatchesTheResizeStripsWereMadeWith) {
    // Renderings are 168 rows high; strips 56 rows and any width, narrower or wider.
    const int sourceWidths[] = {1, 2, 3, 57, 100, 333, 1000, 4097};
    for (const int w : sourceWidths) {
        const QImage in = TextLike(w, 168, static_cast<quint32>(w));
        for (const int width : {1, 7, 56, std::max(1, w / 3), w, 2 * w + 1}) {
            cv::Mat small;
            cv::resize(Wrap(in), small, cv::Size(width, 56), 0, 0, cv::INTER_LINEAR);
            const std::vector<std::uint8_t> red = ReduceChannelBilinear(in, 16, width, 56);
            int differing = 0;
            for (int y = 0; y < 56; ++y)
                for (int x = 0; x < width; ++x)
                    differing +=
                        red[static_cast<size_t>(y) * width + x] != small.at<cv::Vec4b>(y, x)[2];
            EXPECT_EQ(differing, 0) << w << " -> " << width;
        }
    }
}

}  // namespace
}  // namespace glowdeck
