// SPDX-License-Identifier: GPL-3.0-or-later
// How much closer error diffusion brings the LED image to the photograph.
// For each photograph: the picture converter's W × 56 reduction is the
// reference; the thresholded and the dithered LED images (default sliders
// 128) are compared with it after a small Gaussian blur of both (5 × 5,
// sigma 1 LED: the eye merges neighbouring LEDs). Reports the mean squared
// error of each and the reduction, per photograph and averaged over the set
// (target at least 60 %).
//   dither-bench [--picture OUT.png] [FILE|FOLDER ...]
// Without files it takes the photographs of /usr/share/backgrounds/mate/nature
// (Debian's mate-backgrounds). --picture draws the first three photographs as
// LED dots: source, threshold and dither side by side.
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <opencv2/imgproc.hpp>

#include "led/Dither.h"
#include "led/PictureConverter.h"
#include "led/Threshold.h"

using namespace glowdeck;

namespace {

cv::Mat Blurred(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    cv::Mat wrapped(rgb.height(), rgb.width(), CV_8UC3, const_cast<uchar*>(rgb.constBits()),
                    static_cast<size_t>(rgb.bytesPerLine()));
    cv::Mat levels, blurred;
    wrapped.convertTo(levels, CV_32FC3);
    cv::GaussianBlur(levels, blurred, cv::Size(5, 5), 1.0, 1.0, cv::BORDER_REFLECT_101);
    return blurred;
}

double MeanSquaredError(const cv::Mat& a, const cv::Mat& b) {
    cv::Mat difference = a - b;
    const cv::Scalar sums = cv::sum(difference.mul(difference));
    return (sums[0] + sums[1] + sums[2]) / (3.0 * a.total());
}

// An LED image as round dots on black, `pitch` pixels apart.
void DrawDots(QPainter& p, const QImage& led, QPoint at, int pitch) {
    p.setPen(Qt::NoPen);
    for (int y = 0; y < led.height(); ++y)
        for (int x = 0; x < led.width(); ++x) {
            p.setBrush(QColor(led.pixel(x, y)));
            p.drawEllipse(QRectF(at.x() + x * pitch + 0.5, at.y() + y * pitch + 0.5, pitch - 1.0,
                                 pitch - 1.0));
        }
}

QStringList Photographs(const QStringList& arguments) {
    QStringList files;
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        if (!info.isDir()) {
            files << argument;
            continue;
        }
        for (const QFileInfo& entry : QDir(argument).entryInfoList(
                 {"*.jpg", "*.jpeg", "*.png", "*.bmp"}, QDir::Files, QDir::Name))
            files << entry.absoluteFilePath();
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    QString picturePath;
    if (const int k = static_cast<int>(arguments.indexOf(QStringLiteral("--picture")));
        k >= 0 && k + 1 < arguments.size()) {
        picturePath = arguments[k + 1];
        arguments.remove(k, 2);
    }
    if (arguments.isEmpty()) arguments << QStringLiteral("/usr/share/backgrounds/mate/nature");
    const QStringList files = Photographs(arguments);
    if (files.isEmpty()) {
        std::printf(
            "dither: no photographs (apt-get install mate-backgrounds, or name files or "
            "folders)\n");
        return 0;
    }

    const QRgb threshold = ThresholdColour(128, 128, 128);
    std::printf("%-28s %5s %12s %12s %10s\n", "photograph", "W", "MSE thresh", "MSE dither",
                "reduction");
    double reductions = 0, sumThreshold = 0, sumDither = 0;
    int measured = 0;
    std::vector<std::array<QImage, 3>> shown;
    for (const QString& file : files) {
        CPictureConverter converter;
        if (!converter.LoadFile(file) || converter.Width() == 0) {
            std::printf("%-28s skipped: %s\n", qPrintable(QFileInfo(file).fileName()),
                        qPrintable(converter.LoadError()));
            continue;
        }
        const QImage source = converter.ResizedImage();
        converter.SetThreshold(threshold);
        converter.Convert({1, 0});
        const QImage plain = converter.LedImage();
        converter.SetDither(true);
        converter.Convert({1, 0});
        const QImage dithered = converter.LedImage();
        const cv::Mat reference = Blurred(source);
        const double errorThreshold = MeanSquaredError(Blurred(plain), reference);
        const double errorDither = MeanSquaredError(Blurred(dithered), reference);
        const double reduction = 1.0 - errorDither / errorThreshold;
        std::printf("%-28s %5d %12.1f %12.1f %9.1f %%\n", qPrintable(QFileInfo(file).fileName()),
                    converter.Width(), errorThreshold, errorDither, 100.0 * reduction);
        reductions += reduction;
        sumThreshold += errorThreshold;
        sumDither += errorDither;
        ++measured;
        if (shown.size() < 3) shown.push_back({source, plain, dithered});
    }
    if (measured == 0) return 1;
    const double mean = reductions / measured;
    std::printf("%-28s %5d %12.1f %12.1f %9.1f %%   (mean of the reductions; target >= 60 %%)\n",
                "all photographs", measured, sumThreshold / measured, sumDither / measured,
                100.0 * mean);

    if (!picturePath.isEmpty()) {
        const int pitch = 4, gap = 12;
        int width = 0, height = gap;
        for (const auto& row : shown) {
            width = std::max(width, 3 * row[0].width() * pitch + 4 * gap);
            height += 56 * pitch + gap;
        }
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(QColor(24, 24, 24));
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        int y = gap;
        for (const auto& row : shown) {
            int x = gap;
            for (const QImage& panel : row) {
                DrawDots(p, panel, QPoint(x, y), pitch);
                x += panel.width() * pitch + gap;
            }
            y += 56 * pitch + gap;
        }
        p.end();
        if (!picture.save(picturePath)) std::printf("cannot write %s\n", qPrintable(picturePath));
    }
    return mean >= 0.6 ? 0 : 1;
}
