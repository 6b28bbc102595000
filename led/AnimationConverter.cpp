#include "led/AnimationConverter.h"

#include <QImageReader>
#include <cstring>

#include "base/MessageSink.h"
#include "led/Dither.h"
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
    CSourceFile source;
    if (!source.Open(path, &loadError_)) return false;
    Release();
    QImageReader reader(source.Device());
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid()) return Fail(reader.errorString());
    // Refuse before decoding a frame or reserving the frames' columns.
    const QString tooWide = LedWidthProblem(size);
    if (!tooWide.isEmpty()) return Fail(tooWide);
    width_ = LedWidthFor(size);
    const bool gif = reader.format() == "gif";
    // Frames are composed by the decoder, one after the other, and reduced at
    // once so only W × 56 of each is kept. Transparent pixels become dark.
    while (static_cast<int>(frames_.size()) < MaxFrames) {
        QImage frame = reader.read();
        if (frame.isNull()) {
            if (frames_.empty()) return Fail(reader.errorString());
            break;
        }
        if (gif) frame = WithClearedPixelsTransparent(std::move(frame));
        // The scaler works premultiplied; converting here, in place where the
        // decoder keeps no reference, holds one copy of the frame at most.
        frame.convertTo(QImage::Format_ARGB32_Premultiplied);
        frames_.push_back(width_ > 0 ? MakeThumbnail(frame, width_, LedRows) : QImage());
        if (!reader.canRead()) break;
    }
    if (frames_.empty()) return Fail(reader.errorString());
    frameCount_ = static_cast<int>(frames_.size());
    std::fill(delays_.begin(), delays_.end(), 0);
    if (frameCount_ > 1) {
        const std::optional<GifFileInfo> info = ReadGifInfo(path);
        for (int i = 0; info && i < frameCount_ && i < static_cast<int>(info->delays.size()); ++i)
            delays_[i] = info->delays[i] * 10;
    }
    preview_ = frames_.front();
    ledFrame_ = frames_.front();
    buffer_.assign(static_cast<size_t>(frameCount_) * BufferColumnBytes * width_, 0);
    loaded_ = true;
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
            if (messages) messages->Warn(QStringLiteral("映射错误！"));
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
