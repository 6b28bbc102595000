// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/JpegDecoder.h"

#include <QColorSpace>
#include <QImageIOHandler>
#include <QTransform>
#include <QtMath>
#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE without including it
#include <cstring>
#include <vector>

#include "base/RegularFile.h"

extern "C" {
#include <jpeglib.h>
}

#ifndef JCS_ALPHA_EXTENSIONS
#error "the JPEG decoder needs libjpeg-turbo's extended colour spaces (libjpeg62-turbo-dev)"
#endif

namespace glowdeck {

namespace {

// Larger files are left to QImageReader, which reads them in small pieces.
constexpr qint64 MaxFileBytes = 64 << 20;
// A thread keeps its file buffer for the next picture up to this size.
constexpr size_t KeptBufferBytes = 4 << 20;
// libjpeg hands out at most this many rows a call anyway.
constexpr int RowsPerCall = 16;

// The buffer the previous file of this thread was read into: compile reads
// one picture after another on each worker, so reuse beats a fresh one.
std::vector<unsigned char>& SpareBuffer() {
    thread_local std::vector<unsigned char> spare;
    return spare;
}

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// libjpeg's default ends the process on an error: jump back to the caller.
void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings are counted by libjpeg (num_warnings); nothing is printed.
void KeepQuiet(j_common_ptr) {}

// The orientation an EXIF block (an APP1 payload) records: 1 to 8, 0 when it
// records none, -1 when the block cannot be read.
int ExifOrientation(const unsigned char* data, size_t length) {
    if (length < 14 || std::memcmp(data, "Exif\0\0", 6) != 0) return -1;
    const unsigned char* tiff = data + 6;
    const size_t size = length - 6;
    bool little;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        little = false;
    else
        return -1;
    auto u16 = [&](size_t at) -> unsigned {
        return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
    };
    auto u32 = [&](size_t at) -> size_t {
        return little ? u16(at) | size_t(u16(at + 2)) << 16 : size_t(u16(at)) << 16 | u16(at + 2);
    };
    if (u16(2) != 0x2A) return -1;
    size_t directory = u32(4);
    // A chain of directories; a handful at most in any real file.
    for (int n = 0; n < 10; ++n) {
        if (directory < 8 || directory + 2 > size) return -1;
        const size_t entries = u16(directory);
        const size_t next = directory + 2 + entries * 12;
        if (next + 4 > size) return -1;
        for (size_t at = directory + 2; at < next; at += 12) {
            if (u16(at) != 0x0112) continue;
            const unsigned type = u16(at + 2), value = u16(at + 8);
            return type == 3 && u32(at + 4) == 1 && value >= 1 && value <= 8 ? int(value) : -1;
        }
        directory = u32(next);
        if (directory == 0) return 0;
    }
    return -1;
}

// Where the embedded thumbnail of an EXIF block (an APP1 payload) lies in
// it: the JPEG that IFD1 points to (tags 0x0201 offset and 0x0202 length).
// {0, 0} when there is none or the block cannot be read.
std::pair<size_t, size_t> ExifThumbnail(const unsigned char* data, size_t length) {
    if (length < 14 || std::memcmp(data, "Exif\0\0", 6) != 0) return {0, 0};
    const unsigned char* tiff = data + 6;
    const size_t size = length - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return {0, 0};
    auto u16 = [&](size_t at) -> size_t {
        return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
    };
    auto u32 = [&](size_t at) -> size_t {
        return little ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2);
    };
    // IFD0, then the next directory: IFD1, the thumbnail's.
    size_t directory = u32(4);
    if (directory < 8 || directory + 2 > size) return {0, 0};
    size_t next = directory + 2 + u16(directory) * 12;
    if (next + 4 > size) return {0, 0};
    directory = u32(next);
    if (directory < 8 || directory + 2 > size) return {0, 0};
    next = directory + 2 + u16(directory) * 12;
    if (next > size) return {0, 0};
    size_t offset = 0, bytes = 0;
    for (size_t at = directory + 2; at < next; at += 12) {
        const size_t tag = u16(at), type = u16(at + 2);
        const size_t value = type == 3 ? u16(at + 8) : u32(at + 8);
        if (type != 3 && type != 4) continue;
        if (tag == 0x0201) offset = value;
        if (tag == 0x0202) bytes = value;
    }
    if (offset < 8 || bytes < 4 || offset > size || bytes > size - offset) return {0, 0};
    return {6 + offset, bytes};
}

}  // namespace

bool QuarterTurned(int orientation) { return orientation >= 5 && orientation <= 8; }

QImage Oriented(QImage image, int orientation) {
    // Orientations 5 to 8 are a quarter turn clockwise after a mirroring
    // (5: top to bottom, 7: left to right) or a turn by 270° (8).
    switch (orientation) {
        case 2:
            return std::move(image).mirrored(true, false);
        case 3:
            return std::move(image).mirrored(true, true);
        case 4:
            return std::move(image).mirrored(false, true);
        case 5:
            return std::move(image).mirrored(false, true).transformed(QTransform().rotate(90));
        case 6:
            return image.transformed(QTransform().rotate(90));
        case 7:
            return std::move(image).mirrored(true, false).transformed(QTransform().rotate(90));
        case 8:
            return image.transformed(QTransform().rotate(270));
        default:
            return image;
    }
}

// libjpeg's state for one file. The methods that call libjpeg return false
// when it gave up: its error handler jumps back to their start, so nothing
// between a jump and its target may need a destructor (they hold only plain
// values).
struct CJpegDecoder::State {
    jpeg_decompress_struct info{};
    ErrorManager error{};
    bool created = false;
    // The EXIF orientation, 1 (upright) to 8.
    int orientation = 1;
    std::vector<unsigned char> bytes;

    State() { bytes.swap(SpareBuffer()); }
    ~State() {
        if (created) jpeg_destroy_decompress(&info);
        std::vector<unsigned char>& spare = SpareBuffer();
        if (spare.capacity() < bytes.capacity() && bytes.capacity() <= KeptBufferBytes)
            spare.swap(bytes);
    }

    bool ReadHeader() {
        info.err = jpeg_std_error(&error.pub);
        error.pub.error_exit = JumpBack;
        error.pub.output_message = KeepQuiet;
        if (setjmp(error.jump)) return false;
        created = true;
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);  // EXIF
        jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);  // ICC profile
        jpeg_read_header(&info, TRUE);
        return true;
    }

    bool ComputeOutputSize() {
        if (setjmp(error.jump)) return false;
        jpeg_calc_output_dimensions(&info);
        return true;
    }

    bool Decode(uchar* bits, qsizetype bytesPerLine) {
        if (setjmp(error.jump)) return false;
        jpeg_start_decompress(&info);
        JSAMPROW rows[RowsPerCall];
        while (info.output_scanline < info.output_height) {
            const JDIMENSION first = info.output_scanline;
            const JDIMENSION count = std::min<JDIMENSION>(RowsPerCall, info.output_height - first);
            for (JDIMENSION k = 0; k < count; ++k) rows[k] = bits + (first + k) * bytesPerLine;
            jpeg_read_scanlines(&info, rows, count);
        }
        jpeg_finish_decompress(&info);
        return true;
    }

    // Only pictures decoded exactly as QImageReader decodes them; keeps the
    // orientation the picture records.
    bool Acceptable() {
        const bool gray = info.jpeg_color_space == JCS_GRAYSCALE && info.num_components == 1;
        const bool colour =
            (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB) &&
            info.num_components == 3;
        if (!(gray || colour) || info.image_width == 0 || info.image_height == 0) return false;
        if (error.pub.num_warnings != 0) return false;
        // An EXIF block this decoder cannot read is left to QImageReader,
        // which turns the picture as far as it understands the block.
        for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next) {
            if (m->marker != JPEG_APP0 + 1 || m->data_length < 6 ||
                std::memcmp(m->data, "Exif\0\0", 6) != 0)
                continue;
            const int recorded = ExifOrientation(m->data, m->data_length);
            if (recorded < 0) return false;
            if (recorded > 0) orientation = recorded;
            break;
        }
        return true;
    }

    // The ICC profile split over APP2 markers, as QImageReader gathers it.
    QByteArray IccProfile() const {
        QByteArray profile;
        for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
            if (m->marker == JPEG_APP0 + 2 && m->data_length > 128 + 4 + 14 &&
                std::memcmp(m->data, "ICC_PROFILE", 12) == 0)
                profile.append(reinterpret_cast<const char*>(m->data) + 14,
                               static_cast<qsizetype>(m->data_length) - 14);
        return profile;
    }
};

CJpegDecoder::CJpegDecoder() = default;
CJpegDecoder::~CJpegDecoder() = default;

bool CJpegDecoder::Open(const QString& path) {
    state_.reset();
    // Only a regular file is read (a FIFO or a device is left to the caller's
    // own check), and only as far as its size when it was opened.
    CRegularFile file;
    if (!file.Open(path, MaxFileBytes, nullptr)) return false;
    const qint64 size = file.Size();
    if (size < 2) return false;
    // Every JPEG starts with its SOI marker; other files are not read further.
    char magic[2];
    if (file.Read(magic, 2, nullptr) != 2 || uchar(magic[0]) != 0xFF || uchar(magic[1]) != 0xD8)
        return false;
    auto state = std::make_unique<State>();
    state->bytes.resize(static_cast<size_t>(size));
    char* data = reinterpret_cast<char*>(state->bytes.data());
    std::memcpy(data, magic, 2);
    qint64 done = 2;
    while (done < size) {
        const qint64 got = file.Read(data + done, size - done, nullptr);
        if (got <= 0) break;
        done += got;
    }
    // A file that changed its length meanwhile is left to QImageReader.
    char more;
    if (done != size || file.Read(&more, 1, nullptr) != 0) return false;
    if (!state->ReadHeader() || !state->Acceptable()) return false;
    state_ = std::move(state);
    return true;
}

QSize CJpegDecoder::Size() const {
    if (!state_) return QSize();
    const QSize stored(static_cast<int>(state_->info.image_width),
                       static_cast<int>(state_->info.image_height));
    return QuarterTurned(state_->orientation) ? stored.transposed() : stored;
}

QImage CJpegDecoder::Read(const QSize& shownScaled) {
    const std::unique_ptr<State> state = std::move(state_);
    if (!state) return QImage();
    const jpeg_decompress_struct& info = state->info;
    // Decoded and scaled as stored, turned at the end, as QImageReader does.
    const QSize scaled = QuarterTurned(state->orientation) ? shownScaled.transposed() : shownScaled;
    // Qt's choice: the largest reduction of 1/8 to 8/8 that keeps at least
    // the requested size, then a smooth scaling to exactly that size.
    int scaleNum = 8;
    if (!scaled.isEmpty()) {
        const double factor = qMin(double(info.image_width) / scaled.width(),
                                   double(info.image_height) / scaled.height());
        scaleNum = qBound(1, qCeil(8 / factor), 8);
    }
    return Decode(*state, scaleNum, scaled);
}

QImage CJpegDecoder::ReadThumbnail(const QSize& shownAtLeast) {
    const std::unique_ptr<State> state = std::move(state_);
    if (!state) return QImage();
    const jpeg_decompress_struct& info = state->info;
    const QSize atLeast =
        QuarterTurned(state->orientation) ? shownAtLeast.transposed() : shownAtLeast;
    // A camera's own small copy of the photo, when it is large enough: a
    // tenth of the bytes to decode, or less.
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1) continue;
        const auto [offset, bytes] = ExifThumbnail(m->data, m->data_length);
        if (!bytes) continue;
        State embedded;
        embedded.bytes.assign(m->data + offset, m->data + offset + bytes);
        if (!embedded.ReadHeader() || !embedded.Acceptable()) break;
        if (int(embedded.info.image_width) < atLeast.width() ||
            int(embedded.info.image_height) < atLeast.height())
            break;
        embedded.orientation = 1;  // the photo's orientation turns it
        const QImage thumbnail = Decode(embedded, 8, QSize());
        if (thumbnail.isNull()) break;
        return Oriented(thumbnail, state->orientation);
    }
    // The smallest scale M/8 that still gives at least `atLeast` (libjpeg
    // rounds the scaled sizes up).
    auto scaledUp = [](unsigned size, int m) { return int((size * unsigned(m) + 7) / 8); };
    int scaleNum = 1;
    while (scaleNum < 8 && (scaledUp(info.image_width, scaleNum) < atLeast.width() ||
                            scaledUp(info.image_height, scaleNum) < atLeast.height()))
        ++scaleNum;
    return Decode(*state, scaleNum, QSize());
}

QImage CJpegDecoder::Decode(State& state, int scaleNum, const QSize& scaled) {
    jpeg_decompress_struct& info = state.info;
    info.scale_num = static_cast<unsigned>(scaleNum);
    info.scale_denom = 8;
    const bool gray = info.num_components == 1;
    // Straight into a QImage::Format_RGB32 row: 0xffRRGGBB in memory order.
    info.out_color_space =
        gray ? JCS_GRAYSCALE : (Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB);
    if (!state.ComputeOutputSize()) return QImage();
    QImage image;
    if (!QImageIOHandler::allocateImage(
            QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height)),
            gray ? QImage::Format_Grayscale8 : QImage::Format_RGB32, &image))
        return QImage();
    // Finishing the decode frees the saved markers.
    const QByteArray profile = state.IccProfile();
    if (!state.Decode(image.bits(), image.bytesPerLine())) return QImage();
    if (state.error.pub.num_warnings != 0) return QImage();
    if (info.density_unit == 1) {
        image.setDotsPerMeterX(int(100. * info.X_density / 2.54));
        image.setDotsPerMeterY(int(100. * info.Y_density / 2.54));
    } else if (info.density_unit == 2) {
        image.setDotsPerMeterX(int(100. * info.X_density));
        image.setDotsPerMeterY(int(100. * info.Y_density));
    }
    if (scaled.isValid() && scaled != image.size())
        image = image.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!profile.isEmpty()) image.setColorSpace(QColorSpace::fromIccProfile(profile));
    return Oriented(std::move(image), state.orientation);
}

}  // namespace glowdeck
