#include "led/GifReader.h"

#include <gif_lib.h>

#include <QFile>
#include <QImageReader>
#include <cstring>

namespace glowdeck {

namespace {

struct MemoryInput {
    const QByteArray* data;
    int offset;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const int available = static_cast<int>(in->data->size()) - in->offset;
    const int n = length < available ? length : available;
    if (n > 0) std::memcpy(buffer, in->data->constData() + in->offset, static_cast<size_t>(n));
    in->offset += n > 0 ? n : 0;
    return n > 0 ? n : 0;
}

}  // namespace

std::optional<GifFileInfo> ReadGifInfo(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray data = file.readAll();
    MemoryInput input{&data, 0};
    int code = 0;
    GifFileType* gif = DGifOpen(&input, ReadFromMemory, &code);
    if (!gif) {
        if (error) *error = QString::fromUtf8(GifErrorString(code));
        return std::nullopt;
    }
    const int rc = DGifSlurp(gif);
    // A file cut short still yields the frames read before the cut.
    if (rc == GIF_ERROR && gif->ImageCount == 0) {
        if (error) *error = QString::fromUtf8(GifErrorString(gif->Error));
        DGifCloseFile(gif, &code);
        return std::nullopt;
    }
    GifFileInfo info;
    info.width = gif->SWidth;
    info.height = gif->SHeight;
    info.frameCount = gif->ImageCount;
    info.delays.reserve(static_cast<size_t>(gif->ImageCount));
    for (int k = 0; k < gif->ImageCount; ++k) {
        GraphicsControlBlock gcb{};
        if (DGifSavedExtensionToGCB(gif, k, &gcb) == GIF_OK)
            info.delays.push_back(gcb.DelayTime);
        else
            info.delays.push_back(0);
    }
    DGifCloseFile(gif, &code);
    return info;
}

std::vector<QImage> ReadComposedFrames(const QString& path, int maxFrames, QString* error) {
    std::vector<QImage> frames;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    while (static_cast<int>(frames.size()) < maxFrames) {
        QImage frame = reader.read();
        if (frame.isNull()) {
            if (frames.empty() && error) *error = reader.errorString();
            break;
        }
        frames.push_back(frame.convertToFormat(QImage::Format_ARGB32));
        if (!reader.canRead()) break;
    }
    return frames;
}

}  // namespace glowdeck
