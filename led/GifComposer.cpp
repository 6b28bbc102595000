// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/GifComposer.h"

#include <gif_lib.h>

#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <memory>

namespace glowdeck {

namespace {

struct MemoryInput {
    const QByteArray* data;
    qsizetype offset;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const qsizetype available = in->data->size() - in->offset;
    const int n = static_cast<int>(std::clamp<qsizetype>(available, 0, length));
    if (n > 0) std::memcpy(buffer, in->data->constData() + in->offset, static_cast<size_t>(n));
    in->offset += n;
    return n;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

// The part of a frame's rectangle that lies on the logical screen.
struct Clip {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool Empty() const { return right <= left || bottom <= top; }
};

Clip ClipToScreen(const GifImageDesc& d, int width, int height) {
    return {std::clamp(d.Left, 0, width), std::clamp(d.Top, 0, height),
            std::clamp(d.Left + d.Width, 0, width), std::clamp(d.Top + d.Height, 0, height)};
}

// Graphics control of the next frame: the first block before it counts.
struct Control {
    int delay = 0;
    int disposal = DISPOSAL_UNSPECIFIED;
    int transparent = NO_TRANSPARENT_COLOR;
    bool seen = false;
};

// Skips the rest of the current image's compressed raster, block by block.
bool SkipImageData(GifFileType* gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
    return true;
}

// Reads one extension record; a graphics control block fills `control`
// unless one was seen already for this frame.
bool ReadExtension(GifFileType* gif, Control* control) {
    int function = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &function, &block) == GIF_ERROR) return false;
    if (function == GRAPHICS_EXT_FUNC_CODE && block && !control->seen) {
        GraphicsControlBlock gcb{};
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
            control->seen = true;
            control->delay = gcb.DelayTime;
            // Mode 4 stands for "restore to previous" in some encoders, as
            // browsers read it; the undefined 5..7 keep the frame.
            control->disposal = gcb.DisposalMode == 4  ? DISPOSE_PREVIOUS
                                : gcb.DisposalMode > 4 ? DISPOSAL_UNSPECIFIED
                                                       : gcb.DisposalMode;
            control->transparent = gcb.TransparentColor;
        }
    }
    while (block)
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    return true;
}

// Composes the frames onto one canvas.
class Composer {
public:
    Composer(GifFileType* gif, int width, int height) : gif_(gif), width_(width), height_(height) {
        canvas_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        canvas_.fill(0);
        line_.resize(static_cast<size_t>(std::max(width, 1)));
    }

    // Draws the frame whose descriptor was just read, after disposing of the
    // one before. False when its data break off.
    bool Draw(const Control& control) {
        Dispose();
        const GifImageDesc& d = gif_->Image;
        const Clip clip = ClipToScreen(d, width_, height_);
        BuildColours(control.transparent);
        if (control.disposal == DISPOSE_PREVIOUS) Save(clip);
        disposal_ = control.disposal;
        drawn_ = clip;
        if (d.Width <= 0 || d.Height <= 0) return SkipImageData(gif_);
        if (static_cast<size_t>(d.Width) > line_.size()) line_.resize(static_cast<size_t>(d.Width));
        auto* bits = reinterpret_cast<QRgb*>(canvas_.bits());
        const qsizetype stride = canvas_.bytesPerLine() / 4;
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        const int passes = d.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int first = d.Interlace ? start[pass] : 0, by = d.Interlace ? step[pass] : 1;
            for (int row = first; row < d.Height; row += by) {
                if (DGifGetLine(gif_, line_.data(), d.Width) == GIF_ERROR) return false;
                const int y = d.Top + row;
                if (clip.Empty() || y < clip.top || y >= clip.bottom) continue;
                QRgb* out = bits + y * stride + clip.left;
                const GifPixelType* in = line_.data() + (clip.left - d.Left);
                for (int x = 0, w = clip.right - clip.left; x < w; ++x)
                    if (const QRgb c = colours_[in[x]]) out[x] = c;
            }
        }
        return true;
    }

    const QImage& Canvas() const { return canvas_; }

private:
    // Applies the disposal of the frame shown last.
    void Dispose() {
        if (drawn_.Empty()) return;
        auto* bits = reinterpret_cast<QRgb*>(canvas_.bits());
        const qsizetype stride = canvas_.bytesPerLine() / 4;
        const int w = drawn_.right - drawn_.left;
        if (disposal_ == DISPOSE_BACKGROUND) {
            for (int y = drawn_.top; y < drawn_.bottom; ++y)
                std::fill_n(bits + y * stride + drawn_.left, w, QRgb(0));
        } else if (disposal_ == DISPOSE_PREVIOUS) {
            for (int y = drawn_.top; y < drawn_.bottom; ++y)
                std::copy_n(saved_.data() + static_cast<size_t>(y - drawn_.top) * w, w,
                            bits + y * stride + drawn_.left);
        }
        drawn_ = {};
    }

    // Keeps what lies under `clip` for a later "restore to previous".
    void Save(const Clip& clip) {
        const int w = clip.right - clip.left;
        saved_.resize(clip.Empty() ? 0 : static_cast<size_t>(w) * (clip.bottom - clip.top));
        if (clip.Empty()) return;
        const auto* bits = reinterpret_cast<const QRgb*>(canvas_.constBits());
        const qsizetype stride = canvas_.bytesPerLine() / 4;
        for (int y = clip.top; y < clip.bottom; ++y)
            std::copy_n(bits + y * stride + clip.left, w,
                        saved_.data() + static_cast<size_t>(y - clip.top) * w);
    }

    // Opaque colours of the frame's palette; 0 marks indices that draw nothing.
    void BuildColours(int transparent) {
        const ColorMapObject* map = gif_->Image.ColorMap ? gif_->Image.ColorMap : gif_->SColorMap;
        std::fill(std::begin(colours_), std::end(colours_), QRgb(0));
        const int count = map ? std::min(map->ColorCount, 256) : 0;
        for (int k = 0; k < count; ++k) {
            const GifColorType& c = map->Colors[k];
            colours_[k] = qRgb(c.Red, c.Green, c.Blue);
        }
        if (transparent >= 0 && transparent < 256) colours_[transparent] = 0;
    }

    GifFileType* gif_;
    int width_, height_;
    QImage canvas_;
    std::vector<GifPixelType> line_;
    QRgb colours_[256] = {};
    std::vector<QRgb> saved_;
    Clip drawn_;
    int disposal_ = DISPOSAL_UNSPECIFIED;
};

QString GifError(int code) {
    const char* text = GifErrorString(code);
    return text ? QString::fromUtf8(text) : QStringLiteral("GIF error %1").arg(code);
}

}  // namespace

bool LooksLikeGif(const QByteArray& data) {
    return data.startsWith("GIF87a") || data.startsWith("GIF89a");
}

QSize GifScreenSize(const QByteArray& data) {
    if (data.size() < 10) return {};
    const auto byte = [&](int k) { return static_cast<unsigned char>(data[k]); };
    return QSize(byte(6) | byte(7) << 8, byte(8) | byte(9) << 8);
}

std::optional<GifComposition> ComposeGif(const QByteArray& data, int lastFrame,
                                         const GifFrameHandler& onFrame, QString* error) {
    const auto fail = [&](const QString& why) -> std::optional<GifComposition> {
        if (error) *error = why;
        return std::nullopt;
    };
    MemoryInput input{&data, 0};
    int code = 0;
    GifHandle gif(DGifOpen(&input, ReadFromMemory, &code));
    if (!gif) return fail(GifError(code));
    GifComposition result;
    result.screen = QSize(gif->SWidth, gif->SHeight);
    std::unique_ptr<Composer> composer;
    if (lastFrame >= 0) {
        if (result.screen.isEmpty()) return fail(GifError(D_GIF_ERR_NO_IMAG_DSCR));
        // The canvas must fit in what the image decoders may allocate.
        const qint64 bytes = qint64(gif->SWidth) * gif->SHeight * 4;
        if (bytes > qint64(QImageReader::allocationLimit()) << 20)
            return fail(
                QStringLiteral("GIF screen too large: %1×%2").arg(gif->SWidth).arg(gif->SHeight));
        composer = std::make_unique<Composer>(gif.get(), gif->SWidth, gif->SHeight);
    }
    Control control;
    int lastError = 0;
    for (bool done = false; !done;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) {
            lastError = gif->Error;
            break;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif.get(), &control)) {
                lastError = gif->Error;
                break;
            }
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif.get()) == GIF_ERROR) {
                lastError = gif->Error;
                break;
            }
            const int index = result.FrameCount();
            if (index <= lastFrame) {
                if (!composer->Draw(control)) {
                    lastError = gif->Error;
                    break;
                }
                result.delays.push_back(control.delay);
                ++result.composed;
                if (onFrame) onFrame(index, composer->Canvas());
            } else {
                // Past the frames asked for: a frame cut short still counts.
                result.delays.push_back(control.delay);
                if (!SkipImageData(gif.get())) {
                    lastError = gif->Error;
                    break;
                }
            }
            // giflib keeps every descriptor it reads; only the current one is needed.
            if (gif->SavedImages && gif->ImageCount > 0) {
                GifFreeSavedImages(gif.get());
                gif->ImageCount = 0;
            }
            control = Control{};
        } else {
            done = true;  // the trailer, or a record giflib does not know
        }
    }
    if (lastFrame >= 0 && result.composed == 0)
        return fail(GifError(lastError ? lastError : D_GIF_ERR_NO_IMAG_DSCR));
    if (lastFrame < 0 && result.FrameCount() == 0)
        return fail(GifError(lastError ? lastError : D_GIF_ERR_NO_IMAG_DSCR));
    return result;
}

}  // namespace glowdeck
