#include "led/GifReader.h"

#include <gif_lib.h>

#include <QImageReader>
#include <cstring>

#include "base/RegularFile.h"
#include "led/SourceFile.h"

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

namespace {

// Skips the rest of the current image's compressed raster, block by block.
bool SkipImageData(GifFileType* gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
    return true;
}

}  // namespace

std::optional<GifFileInfo> ReadGifInfo(const QString& path, QString* error) {
    const std::optional<QByteArray> read = ReadWholeFile(path, MaxSourceFileBytes, error);
    if (!read) return std::nullopt;
    const QByteArray& data = *read;
    MemoryInput input{&data, 0};
    int code = 0;
    GifFileType* gif = DGifOpen(&input, ReadFromMemory, &code);
    if (!gif) {
        if (error) *error = QString::fromUtf8(GifErrorString(code));
        return std::nullopt;
    }
    GifFileInfo info;
    info.width = gif->SWidth;
    info.height = gif->SHeight;
    // Walk the records without decompressing any raster: only the image
    // descriptors and the graphics control blocks are of interest. As with a
    // whole read, an image's delay comes from the first graphics control
    // block before it.
    int delay = 0;
    bool haveControl = false;
    bool failed = false;
    for (bool done = false; !done && !failed;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            failed = true;
            break;
        }
        switch (type) {
            case IMAGE_DESC_RECORD_TYPE:
                if (DGifGetImageDesc(gif) == GIF_ERROR) {
                    failed = true;
                    break;
                }
                // A frame cut short still counts, as a whole read counts it.
                ++info.frameCount;
                info.delays.push_back(delay);
                delay = 0;
                haveControl = false;
                failed = !SkipImageData(gif);
                break;
            case EXTENSION_RECORD_TYPE: {
                int function = 0;
                GifByteType* block = nullptr;
                if (DGifGetExtension(gif, &function, &block) == GIF_ERROR) {
                    failed = true;
                    break;
                }
                if (function == GRAPHICS_EXT_FUNC_CODE && block && !haveControl) {
                    haveControl = true;
                    GraphicsControlBlock gcb{};
                    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
                        delay = gcb.DelayTime;
                }
                while (block && !failed) failed = DGifGetExtensionNext(gif, &block) == GIF_ERROR;
                break;
            }
            case TERMINATE_RECORD_TYPE:
            default:
                done = true;
                break;
        }
    }
    // A file cut short still yields the frames read before the cut.
    if (info.frameCount == 0) {
        if (error)
            *error =
                QString::fromUtf8(GifErrorString(failed ? gif->Error : D_GIF_ERR_NO_IMAG_DSCR));
        DGifCloseFile(gif, &code);
        return std::nullopt;
    }
    DGifCloseFile(gif, &code);
    return info;
}

QImage WithClearedPixelsTransparent(QImage frame) {
    // In an opaque 32-bit image every pixel the decoder drew from a palette
    // has the alpha byte 0xFF; only the cleared ones have 0.
    if (frame.format() == QImage::Format_RGB32) frame.reinterpretAsFormat(QImage::Format_ARGB32);
    return frame;
}

std::vector<QImage> ReadComposedFrames(const QString& path, int maxFrames, QString* error) {
    std::vector<QImage> frames;
    CSourceFile source;
    if (!source.Open(path, error)) return frames;
    QImageReader reader(source.Device());
    reader.setDecideFormatFromContent(true);
    while (static_cast<int>(frames.size()) < maxFrames) {
        QImage frame = reader.read();
        if (frame.isNull()) {
            if (frames.empty() && error) *error = reader.errorString();
            break;
        }
        if (reader.format() == "gif") frame = WithClearedPixelsTransparent(frame);
        frames.push_back(frame.convertToFormat(QImage::Format_ARGB32));
        if (!reader.canRead()) break;
    }
    return frames;
}

}  // namespace glowdeck
