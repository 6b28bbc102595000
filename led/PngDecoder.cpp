// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/PngDecoder.h"

#include <png.h>

#include <QImageIOHandler>
#include <cstring>
#include <vector>

namespace glowdeck {

// libpng's state for one file. The methods that call libpng return false
// when it gave up: its error handler jumps back to their start, so nothing
// between a jump and its target may need a destructor.
struct CPngDecoder::State {
    png_structp png = nullptr;
    png_infop info = nullptr;
    QIODevice* device = nullptr;
    char message[160] = {};

    ~State() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }

    static void Fail(png_structp png, png_const_charp text) {
        auto* self = static_cast<State*>(png_get_error_ptr(png));
        std::strncpy(self->message, text ? text : "", sizeof(self->message) - 1);
        png_longjmp(png, 1);
    }
    static void Ignore(png_structp, png_const_charp) {}
    static void ReadFromDevice(png_structp png, png_bytep data, size_t length) {
        auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
        if (device->read(reinterpret_cast<char*>(data), static_cast<qint64>(length)) !=
            static_cast<qint64>(length))
            png_error(png, "the file ends before the picture does");
    }

    bool Create(QIODevice* from) {
        device = from;
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, Fail, Ignore);
        if (!png) return false;
        info = png_create_info_struct(png);
        if (!info) return false;
        png_set_read_fn(png, device, ReadFromDevice);
        return true;
    }

    bool ReadInfo() {
        if (setjmp(png_jmpbuf(png))) return false;
        png_read_info(png, info);
        return true;
    }

    // Only what Qt mis-decodes: 16 bits, grey or RGB, with a tRNS colour.
    bool Taken() const {
        const int type = png_get_color_type(png, info);
        return png_get_bit_depth(png, info) == 16 &&
               (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_RGB) &&
               png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    }

    // Straight into QImage::Format_ARGB32 rows: 0xAARRGGBB in memory order.
    bool Decode(png_bytepp rows) {
        if (setjmp(png_jmpbuf(png))) return false;
        png_set_tRNS_to_alpha(png);
        png_set_scale_16(png);
        if (png_get_color_type(png, info) == PNG_COLOR_TYPE_GRAY) png_set_gray_to_rgb(png);
        if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)
            png_set_bgr(png);
        else
            png_set_swap_alpha(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        if (png_get_rowbytes(png, info) != png_get_image_width(png, info) * 4)
            png_error(png, "unexpected row layout");
        png_read_image(png, rows);
        return true;
    }
};

CPngDecoder::CPngDecoder() = default;
CPngDecoder::~CPngDecoder() = default;

bool CPngDecoder::Open(QIODevice* device) {
    state_.reset();
    size_ = QSize();
    headerError_.clear();
    auto state = std::make_unique<State>();
    const qint64 start = device->pos();
    const bool read = state->Create(device) && state->ReadInfo();
    if (!read) headerError_ = QString::fromUtf8(state->message);
    if (!read || !state->Taken()) {
        device->seek(start);
        return false;
    }
    size_ = QSize(static_cast<int>(png_get_image_width(state->png, state->info)),
                  static_cast<int>(png_get_image_height(state->png, state->info)));
    state_ = std::move(state);
    return true;
}

QImage CPngDecoder::Read(QString* error) {
    const std::unique_ptr<State> state = std::move(state_);
    if (!state) return QImage();
    QImage image;
    if (!QImageIOHandler::allocateImage(size_, QImage::Format_ARGB32, &image)) {
        if (error) *error = QStringLiteral("the picture is too large to decode");
        return QImage();
    }
    std::vector<png_bytep> rows(static_cast<size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) rows[static_cast<size_t>(y)] = image.scanLine(y);
    if (!state->Decode(rows.data())) {
        if (error) *error = QString::fromUtf8(state->message);
        return QImage();
    }
    return image;
}

}  // namespace glowdeck
