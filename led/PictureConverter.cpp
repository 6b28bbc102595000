#include "led/PictureConverter.h"

#include <QImageReader>
#include <climits>
#include <optional>

#include "led/ImageCodec.h"
#include "led/JpegDecoder.h"
#include "led/LedOrder.h"
#include "led/SourceFile.h"
#include "led/SourceLimits.h"

namespace glowdeck {

int LedWidthFor(const QSize& source) {
    if (source.height() <= 0) return 0;
    // Saturates: a sliver of a picture could otherwise overflow an int.
    const double width = 56.0 * source.width() / source.height();
    return width >= INT_MAX ? INT_MAX : static_cast<int>(width);
}

CPictureConverter::CPictureConverter()
    : previewRects{QRect(10, 10, 400, 300), QRect(10, 320, 200, 56), QRect(10, 530, 200, 56),
                   QRect(10, 640, 200, 56)} {}

void CPictureConverter::UpdatePreviewRects(const QSize& source) {
    if (source.height() <= 0) return;
    for (QRect& r : previewRects)
        r.setWidth(static_cast<int>(1.0 * source.width() * r.height() / source.height()));
}

bool CPictureConverter::Fail(const QString& reason) {
    loadError_ = reason.isEmpty() ? QStringLiteral("unreadable image data") : reason;
    return false;
}

bool CPictureConverter::LoadFile(const QString& path) {
    loadError_.clear();
    // A FIFO or a device is refused by what it is, before any decoder blocks on it.
    CSourceFile source;
    if (QString why; !source.Open(path, &why)) return Fail(why);
    Release();
    // JPEGs decode fastest from memory; QImageReader takes what that decoder
    // leaves and gives the same pixels.
    CJpegDecoder jpeg;
    const bool direct = jpeg.Open(path);
    std::optional<QImageReader> reader;
    auto fallback = [&]() -> QImageReader& {
        if (!reader) {
            reader.emplace(source.Device());
            reader->setDecideFormatFromContent(true);
        }
        return *reader;
    };
    const QSize size = direct ? jpeg.Size() : fallback().size();
    if (!size.isValid()) return Fail(fallback().errorString());
    // Refuse before decoding: the LED images alone would be 224 bytes a column.
    const QString tooWide = LedWidthProblem(size);
    if (!tooWide.isEmpty()) return Fail(tooWide);
    // Decodes at `scaled` (invalid: the full size); a null image and the
    // reason in loadError_ when neither decoder can.
    auto decode = [&](const QSize& scaled) {
        if (direct) {
            QImage image = jpeg.Read(scaled);
            if (!image.isNull()) return image;
        }
        if (scaled.isValid()) fallback().setScaledSize(scaled);
        QImage image = fallback().read();
        if (image.isNull()) Fail(fallback().errorString());
        return image;
    };
    const int width = LedWidthFor(size);
    QImage resized;
    if (size.height() == LedRows) {
        resized = OnBlack(decode(QSize()));
        if (resized.isNull()) return false;
    } else if (width > 0) {
        // Only 56 rows are needed: let the decoder skip most of a large JPEG,
        // then reduce smoothly to the exact size.
        const QSize wanted(std::max(width * 2, 1), LedRows * 2);
        QSize scaled;
        if (size.width() > wanted.width() * 2 && size.height() > wanted.height() * 2)
            scaled = size.scaled(wanted, Qt::KeepAspectRatioByExpanding);
        QImage source = decode(scaled);
        if (source.isNull()) return false;
        // The scaler works premultiplied on pictures with alpha: convert in
        // place rather than beside the decoded picture.
        if (source.hasAlphaChannel()) source.convertTo(QImage::Format_ARGB32_Premultiplied);
        resized = MakeThumbnail(source, width, LedRows);
        if (resized.isNull()) return Fail(QStringLiteral("cannot scale the picture"));
    } else {
        resized = QImage(0, LedRows, QImage::Format_ARGB32);
    }
    UpdatePreviewRects(size);
    SetLoaded(resized);
    return true;
}

void CPictureConverter::LoadImage(const QImage& image) {
    Release();
    if (!LedWidthProblem(image.size()).isEmpty()) return;
    const int width = LedWidthFor(image.size());
    UpdatePreviewRects(image.size());
    SetLoaded(width > 0 ? MakeThumbnail(image, width, LedRows)
                        : QImage(0, LedRows, QImage::Format_ARGB32));
}

}  // namespace glowdeck
