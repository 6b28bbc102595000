// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/LedImageConverter.h"

#include "led/Dither.h"
#include "led/ImageCodec.h"
#include "led/LedOrder.h"
#include "led/LedPacker.h"
#include "led/Threshold.h"

namespace glowdeck {

void CLedImageConverter::SetLoaded(const QImage& resized) {
    resized_ = resized.convertToFormat(QImage::Format_ARGB32);
    led_ = resized_;
    spare_ = resized_;
    width_ = resized_.width();
    buffer_.assign(static_cast<size_t>(width_) * BufferColumnBytes, 0);
    loaded_ = true;
    converted_ = false;
}

bool CLedImageConverter::Convert(const BallConfig& ball) {
    if (!loaded_) return false;
    progress_ = 0;
    const int w = width_ > 0 ? width_ : 1;
    led_ = dither_ ? DitherImage(resized_, threshold_, [&](int y) { progress_ = 50 * y / LedRows; })
                   : ThresholdImage(resized_, threshold_, [&](int x) { progress_ = 50 * x / w; });
    PackLedImage(led_, 0, buffer_.data(), PictureTable(ball), true,
                 [&](int x) { progress_ = 50 + 50 * x / w; });
    columnBytes_ = ball.ColumnBytes();
    converted_ = true;
    return true;
}

bool CLedImageConverter::SaveLedPreview(const QString& path) const {
    if (!converted_) return false;
    return EncodeImage(led_, path, QStringLiteral("image/jpeg"));
}

PackedColumns CLedImageConverter::Packed() const {
    return {buffer_.data(), 1, width_, columnBytes_};
}

bool CLedImageConverter::AppendData(const QString& dataFile, IMessageSink* messages,
                                    const ColumnShape* fitTo) const {
    if (!converted_) return false;
    return AppendColumns(dataFile, Packed(), messages, fitTo);
}

void CLedImageConverter::Release() {
    resized_ = led_ = spare_ = QImage();
    buffer_.clear();
    loaded_ = converted_ = false;
}

}  // namespace glowdeck
