// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QRect>
#include <QString>
#include <atomic>
#include <cstdint>
#include <vector>

#include "base/BallConfig.h"
#include "led/ColumnAppender.h"

namespace glowdeck {

class IMessageSink;

// What the picture and text converters share: a W × 56 resized image, its
// thresholded LED image and the packed columns.
class CLedImageConverter {
public:
    virtual ~CLedImageConverter() = default;

    void SetThreshold(QRgb colour) { threshold_ = colour; }
    QRgb Threshold() const { return threshold_; }
    // Error diffusion instead of the plain threshold (pictures only; text
    // strips and intervals are two-colour already). Off until set; like the
    // threshold it takes effect at the next Convert.
    void SetDither(bool on) { dither_ = on; }
    bool Dither() const { return dither_; }
    // Thresholds (or dithers) the resized image into the LED image and packs
    // it with the table for pictures. False when nothing is loaded.
    bool Convert(const BallConfig& ball);
    int GetProgress() const { return progress_.load(); }
    // Writes the LED image JPEG-encoded to `path`; false when not converted.
    [[nodiscard]] bool SaveLedPreview(const QString& path) const;
    // Appends W × B bytes (B from the ball the image was converted for).
    [[nodiscard]] bool AppendData(const QString& dataFile, IMessageSink* messages,
                                  const ColumnShape* fitTo = nullptr) const;
    void Release();

    bool Loaded() const { return loaded_; }
    bool Converted() const { return converted_; }
    int Width() const { return width_; }
    const QImage& ResizedImage() const { return resized_; }
    const QImage& LedImage() const { return led_; }
    const QImage& SpareImage() const { return spare_; }
    // The packed columns of the last Convert.
    PackedColumns Packed() const;

protected:
    // Takes a W × 56 image as the loaded picture.
    void SetLoaded(const QImage& resized);

private:
    bool loaded_ = false;
    bool converted_ = false;
    int width_ = 0;
    int columnBytes_ = 21;
    QRgb threshold_ = 0xFF808080;
    bool dither_ = false;
    std::atomic<int> progress_{0};
    QImage resized_, led_, spare_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace glowdeck
