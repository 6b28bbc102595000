// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QString>
#include <atomic>
#include <cstdint>
#include <vector>

#include "base/BallConfig.h"
#include "led/ColumnAppender.h"

namespace glowdeck {

class IMessageSink;

// Turns a GIF or animated WebP (an animation item's file) into up to 50 LED frames of W × 56
// and their packed columns, frames back to back.
class CAnimationConverter {
public:
    static constexpr int MaxFrames = 50;
    static QString PreviewFileName() { return QStringLiteral("led.jpg"); }

    // False when the file does not exist, no frame can be decoded or a frame
    // would be wider than MaxLedColumns (refused before anything is decoded);
    // LoadError says why. Transparent pixels become dark.
    bool LoadFile(const QString& path);
    // Why the last LoadFile failed; empty after a success.
    const QString& LoadError() const { return loadError_; }
    void SetThreshold(QRgb colour) { threshold_ = colour; }
    // Error diffusion instead of the plain threshold, each frame on its own
    // (no error is carried from one frame into the next). Off until set.
    void SetDither(bool on) { dither_ = on; }
    bool Dither() const { return dither_; }
    // Thresholds and packs every frame. A ball type other than 1 or 2 packs
    // nothing and shows "映射错误！" once per frame.
    bool Convert(const BallConfig& ball, IMessageSink* messages);
    // Fills the colour preview and LED frame of frame `frame` for the view.
    bool ConvertFrame(int frame);
    int GetProgress() const { return progress_.load(); }
    [[nodiscard]] bool SaveLedPreview(const QString& path) const;
    [[nodiscard]] bool AppendData(const QString& dataFile, IMessageSink* messages,
                                  const ColumnShape* fitTo = nullptr) const;
    void Release();

    bool Loaded() const { return loaded_; }
    bool Converted() const { return converted_; }
    int FrameCount() const { return frameCount_; }
    int Width() const { return width_; }
    // Frame delays in milliseconds (stored hundredths × 10); all 0 for a still GIF.
    const std::vector<int>& Delays() const { return delays_; }
    const QImage& ColourPreview() const { return preview_; }
    const QImage& LedFrame() const { return ledFrame_; }
    PackedColumns Packed() const;

private:
    bool Fail(const QString& reason);
    // Decodes a GIF with giflib, composing its frames as browsers do.
    bool LoadGif(const QByteArray& data);
    // Any other picture the platform's decoder reads, as still frames.
    bool LoadOther(const QByteArray& data);
    // Frame `frame` thresholded or dithered into an LED frame.
    QImage LedFrameOf(const QImage& frame);

    QString loadError_;
    bool loaded_ = false;
    bool converted_ = false;
    int frameCount_ = 0;
    int width_ = 0;
    int columnBytes_ = 21;
    QRgb threshold_ = 0xFF808080;
    bool dither_ = false;
    std::atomic<int> progress_{0};
    std::vector<int> delays_ = std::vector<int>(MaxFrames, 0);
    std::vector<QImage> frames_;  // each frame reduced to W × 56, not thresholded
    QImage preview_, ledFrame_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace glowdeck
