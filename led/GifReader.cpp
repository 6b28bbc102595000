#include "led/GifReader.h"

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

}  // namespace glowdeck
