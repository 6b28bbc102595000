// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/GifReader.h"

#include <QBuffer>
#include <algorithm>

#include "base/RegularFile.h"
#include "led/FrameSampling.h"
#include "led/GifComposer.h"
#include "led/SourceFile.h"

namespace glowdeck {

std::optional<GifFileInfo> ReadGifInfo(const QString& path, QString* error) {
    const std::optional<QByteArray> data = ReadWholeFile(path, MaxSourceFileBytes, error);
    if (!data) return std::nullopt;
    // Only the image descriptors and graphics control blocks are read; no
    // raster is decompressed. A file cut short yields the frames before the cut.
    const std::optional<GifComposition> scan = ComposeGif(*data, -1, {}, error);
    if (!scan) return std::nullopt;
    GifFileInfo info;
    info.width = scan->screen.width();
    info.height = scan->screen.height();
    info.frameCount = scan->FrameCount();
    info.delays = scan->delays;
    return info;
}

std::vector<QImage> ReadComposedFrames(const QString& path, int maxFrames, QString* error) {
    std::vector<QImage> frames;
    const std::optional<QByteArray> data = ReadWholeFile(path, MaxSourceFileBytes, error);
    if (!data || maxFrames <= 0) return frames;
    const auto kept = ComposeGif(
        *data, maxFrames - 1, [&](int, const QImage& frame) { frames.push_back(frame); }, error);
    if (!kept) frames.clear();
    return frames;
}

std::optional<SampledGif> ReadSampledGif(const QString& path, int count, QString* error) {
    const std::optional<QByteArray> data = ReadWholeFile(path, MaxSourceFileBytes, error);
    if (!data) return std::nullopt;
    const std::optional<GifComposition> scan = ComposeGif(*data, -1, {}, error);
    if (!scan) return std::nullopt;
    const std::vector<FrameSample> samples = SampleFramesEvenly(scan->delays, count);
    if (samples.empty()) {
        if (error) *error = QStringLiteral("no frames");
        return std::nullopt;
    }
    SampledGif result;
    result.sourceFrames = scan->FrameCount();
    // Samples come in frame order; a frame may be shown by several of them.
    size_t next = 0;
    const auto composed = ComposeGif(
        *data, samples.back().frame,
        [&](int index, const QImage& frame) {
            for (; next < samples.size() && samples[next].frame == index; ++next) {
                result.frames.push_back(frame);
                result.delays.push_back(samples[next].delay);
            }
        },
        error);
    if (!composed) return std::nullopt;
    if (result.frames.empty()) {
        if (error) *error = QStringLiteral("no frames");
        return std::nullopt;
    }
    return result;
}

bool LooksLikeWebp(const QByteArray& data) {
    return data.startsWith("RIFF") && data.mid(8, 4) == "WEBP";
}

int ReadDelayHundredths(const QImageReader& reader) {
    return std::max(0, (reader.nextImageDelay() + 5) / 10);
}

namespace {

// Decodes frames 0..last (all with last < 0) from the start, handing each to
// `each` with its delay; returns how many were decoded, 0 when none could be.
template <class Each>
int DecodeFrames(const QByteArray& data, int last, Each&& each, QString* error) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    int decoded = 0;
    while (last < 0 || decoded <= last) {
        QImage frame = reader.read();
        if (frame.isNull()) {
            if (decoded == 0 && error) *error = reader.errorString();
            break;
        }
        frame.convertTo(QImage::Format_ARGB32_Premultiplied);
        each(decoded, frame, ReadDelayHundredths(reader));
        ++decoded;
        if (!reader.canRead()) break;
    }
    return decoded;
}

}  // namespace

std::optional<SampledGif> ReadDecodedAnimation(const QString& path, int count, bool spread,
                                               QString* error) {
    const std::optional<QByteArray> data = ReadWholeFile(path, MaxSourceFileBytes, error);
    if (!data) return std::nullopt;
    if (count < 1) {
        if (error) *error = QStringLiteral("no frames");
        return std::nullopt;
    }
    // The first pass keeps the first `count` frames and learns every delay;
    // the readers cannot seek back, so sampling decodes a second time.
    SampledGif result;
    std::vector<int> allDelays;
    result.sourceFrames = DecodeFrames(
        *data, spread ? -1 : count - 1,
        [&](int index, const QImage& frame, int delay) {
            allDelays.push_back(delay);
            if (index < count) {
                result.frames.push_back(frame);
                result.delays.push_back(delay);
            }
        },
        error);
    if (result.sourceFrames == 0) return std::nullopt;
    if (!spread || result.sourceFrames <= count) {
        if (!spread) {
            // Only the frame count is still unknown: the reader counts without decoding.
            QBuffer buffer;
            buffer.setData(*data);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer);
            reader.setDecideFormatFromContent(true);
            result.sourceFrames = std::max(result.sourceFrames, reader.imageCount());
        }
        return result;
    }
    const std::vector<FrameSample> samples = SampleFramesEvenly(allDelays, count);
    result.frames.clear();
    result.delays.clear();
    size_t next = 0;
    DecodeFrames(
        *data, samples.back().frame,
        [&](int index, const QImage& frame, int) {
            for (; next < samples.size() && samples[next].frame == index; ++next) {
                result.frames.push_back(frame);
                result.delays.push_back(samples[next].delay);
            }
        },
        error);
    if (result.frames.size() != samples.size()) {
        if (error) *error = QStringLiteral("the frames could not be decoded again");
        return std::nullopt;
    }
    return result;
}

}  // namespace glowdeck
