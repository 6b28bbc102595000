// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/PictureConverter.h"

#include <climits>

#include "led/ImageCodec.h"
#include "led/ImageSource.h"
#include "led/LedOrder.h"
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
    // Opened as shown: a turned photo has its shown width and height.
    CImageSource source;
    if (!source.Open(path)) return Fail(source.Error());
    Release();
    const QSize size = source.Size();
    // Refuse before decoding: the LED images alone would be 224 bytes a column.
    const QString tooWide = LedWidthProblem(size);
    if (!tooWide.isEmpty()) return Fail(tooWide);
    // Decodes at `scaled` (invalid: the full size); a null image and the
    // reason in loadError_ when it cannot.
    auto decode = [&](const QSize& scaled) {
        QImage image = source.Read(scaled);
        if (image.isNull()) Fail(source.Error());
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
        QImage picture = decode(scaled);
        if (picture.isNull()) return false;
        // The scaler works premultiplied on pictures with alpha: convert in
        // place rather than beside the decoded picture.
        if (picture.hasAlphaChannel()) picture.convertTo(QImage::Format_ARGB32_Premultiplied);
        resized = MakeThumbnail(picture, width, LedRows);
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
