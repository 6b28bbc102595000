// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/AnimationConverter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <cstring>

#include "base/MessageSink.h"
#include "base/RegularFile.h"
#include "led/Dither.h"
#include "led/GifComposer.h"
#include "led/GifReader.h"
#include "led/ImageCodec.h"
#include "led/LedOrder.h"
#include "led/LedPacker.h"
#include "led/PictureConverter.h"
#include "led/SourceFile.h"
#include "led/SourceLimits.h"
#include "led/Threshold.h"

namespace glowdeck {

bool CAnimationConverter::Fail(const QString& reason) {
    Release();
    loadError_ = reason.isEmpty() ? QStringLiteral("unreadable image data") : reason;
    return false;
}

bool CAnimationConverter::LoadFile(const QString& path) {
    loadError_.clear();
    // A FIFO or a device is refused by what it is, before any decoder blocks on it.
    std::optional<QByteArray> data = ReadWholeFile(path, MaxSourceFileBytes, &loadError_);
    if (!data) return false;
    Release();
    if (LooksLikeGif(*data) ? !LoadGif(*data) : !LoadOther(*data)) return false;
    preview_ = frames_.front();
    ledFrame_ = frames_.front();
    buffer_.assign(static_cast<size_t>(frameCount_) * BufferColumnBytes * width_, 0);
    loaded_ = true;
    return true;
}

bool CAnimationConverter::LoadGif(const QByteArray& data) {
    const QSize size = GifScreenSize(data);
    if (!size.isValid()) return Fail(QString());
    // Refuse before decoding a frame or reserving the frames' columns.
    const QString tooWide = LedWidthProblem(size);
    if (!tooWide.isEmpty()) return Fail(tooWide);
    width_ = LedWidthFor(size);
    // Composed once, frame after frame, and reduced at once: only W × 56 of
    // each frame is kept. Transparent pixels become dark.
    QString error;
    const std::optional<GifComposition> gif = ComposeGif(
        data, MaxFrames - 1,
        [&](int, const QImage& frame) {
            frames_.push_back(width_ > 0 ? MakeThumbnail(frame, width_, LedRows) : QImage());
        },
        &error);
    if (!gif) return Fail(error);
    frameCount_ = static_cast<int>(frames_.size());
    std::fill(delays_.begin(), delays_.end(), 0);
    if (frameCount_ > 1)
        for (int i = 0; i < frameCount_; ++i) delays_[i] = gif->delays[i] * 10;
    return true;
}

bool CAnimationConverter::LoadOther(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid()) return Fail(reader.errorString());
    const QString tooWide = LedWidthProblem(size);
    if (!tooWide.isEmpty()) return Fail(tooWide);
    width_ = LedWidthFor(size);
    std::fill(delays_.begin(), delays_.end(), 0);
    while (static_cast<int>(frames_.size()) < MaxFrames) {
        QImage frame = reader.read();
        if (frame.isNull()) {
            if (frames_.empty()) return Fail(reader.errorString());
            break;
        }
        // The scaler works premultiplied; converting here, in place where the
        // decoder keeps no reference, holds one copy of the frame at most.
        frame.convertTo(QImage::Format_ARGB32_Premultiplied);
        frames_.push_back(width_ > 0 ? MakeThumbnail(frame, width_, LedRows) : QImage());
        // An animated WebP's delays, kept in whole hundredths as a GIF would.
        delays_[frames_.size() - 1] = ReadDelayHundredths(reader) * 10;
        if (!reader.canRead()) break;
    }
    frameCount_ = static_cast<int>(frames_.size());
    if (frameCount_ == 1) delays_[0] = 0;
    return true;
}

bool CAnimationConverter::Convert(const BallConfig& ball, IMessageSink* messages) {
    if (!loaded_) return false;
    progress_ = 0;
    std::fill(buffer_.begin(), buffer_.end(), 0);
    const int w = width_ > 0 ? width_ : 1;
    for (int f = 0; f < frameCount_; ++f) {
        preview_ = frames_[f];
        ledFrame_ = LedFrameOf(preview_);
        if (ball.ballType != 1 && ball.ballType != 2) {
            if (messages)
                messages->Warn(QCoreApplication::translate("AnimationConverter", "映射错误！"));
            continue;
        }
        const LedTable table = ball.ballType == 1 ? LedTable::Single
                               : ball.layer == 1  ? LedTable::Inner
                                                  : LedTable::Outer;
        PackLedImage(ledFrame_, f, buffer_.data(), table, false,
                     [&](int x) { progress_ = 50 + 50 * x / w; });
    }
    columnBytes_ = ball.ColumnBytes();
    converted_ = true;
    return true;
}

bool CAnimationConverter::ConvertFrame(int frame) {
    if (!loaded_ || frame < 0 || frame >= frameCount_) return false;
    std::fill(buffer_.begin(), buffer_.end(), 0);
    preview_ = frames_[frame];
    ledFrame_ = LedFrameOf(preview_);
    return true;
}

QImage CAnimationConverter::LedFrameOf(const QImage& frame) {
    if (dither_)
        return DitherImage(frame, threshold_, [&](int y) { progress_ = 50 * y / LedRows; });
    const int w = width_ > 0 ? width_ : 1;
    return ThresholdImage(frame, threshold_, [&](int x) { progress_ = 50 * x / w; });
}

bool CAnimationConverter::SaveLedPreview(const QString& path) const {
    if (!converted_) return false;
    return EncodeImage(ledFrame_, path, QStringLiteral("image/jpeg"));
}

PackedColumns CAnimationConverter::Packed() const {
    return {buffer_.data(), frameCount_, width_, columnBytes_};
}

bool CAnimationConverter::AppendData(const QString& dataFile, IMessageSink* messages,
                                     const ColumnShape* fitTo) const {
    if (!converted_) return false;
    return AppendColumns(dataFile, Packed(), messages, fitTo);
}

void CAnimationConverter::Release() {
    frames_.clear();
    preview_ = ledFrame_ = QImage();
    buffer_.clear();
    frameCount_ = width_ = 0;
    loaded_ = converted_ = false;
}

}  // namespace glowdeck
