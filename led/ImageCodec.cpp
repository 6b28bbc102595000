// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/ImageCodec.h"

#include <QBuffer>
#include <QImageWriter>

#include "base/AtomicFile.h"
#include "led/GifWriter.h"
#include "led/ImageSource.h"

namespace glowdeck {

QImage DecodeImage(const QString& path, QString* error) {
    return DecodeImageScaled(path, QSize(), error);
}

QImage DecodeImageScaled(const QString& path, const QSize& bound, QString* error) {
    CImageSource source;
    QImage image;
    if (source.Open(path)) {
        // The size to decode at: within the bound, or invalid for the full size.
        const QSize size = source.Size();
        QSize scaled;
        if (bound.isValid() && (size.width() > bound.width() || size.height() > bound.height()))
            scaled = size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        image = source.Read(scaled);
    }
    if (image.isNull() && error) *error = source.Error();
    return image;
}

QSize ImageFileSize(const QString& path) {
    CImageSource source;
    return source.Open(path) ? source.Size() : QSize();
}

bool EncodeImage(const QImage& image, const QString& path, const QString& mimeType,
                 QString* error) {
    QByteArray data;
    if (mimeType == QLatin1String("image/gif")) {
        if (!EncodeGif({image}, {0}, 0, &data, error)) return false;
        return WriteFileAtomically(path, data, error);
    }
    const char* format = nullptr;
    if (mimeType == QLatin1String("image/jpeg")) format = "jpeg";
    if (mimeType == QLatin1String("image/bmp")) format = "bmp";
    if (!format) {
        if (error) *error = QStringLiteral("no encoder for %1").arg(mimeType);
        return false;
    }
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    // JPEG and BMP carry no alpha: flatten onto opaque pixels first.
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32))) {
        if (error) *error = writer.errorString();
        return false;
    }
    return WriteFileAtomically(path, data, error);
}

namespace {

// Premultiplied pixels are already their colour over black: keep them and
// make every pixel opaque.
QImage DropPremultipliedAlpha(const QImage& image) {
    QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < premultiplied.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(premultiplied.scanLine(y));
        for (int x = 0; x < premultiplied.width(); ++x) row[x] |= 0xFF000000u;
    }
    premultiplied.reinterpretAsFormat(QImage::Format_RGB32);
    return premultiplied;
}

}  // namespace

QImage MakeThumbnail(const QImage& image, int width, int height) {
    if (image.isNull() || width <= 0 || height <= 0) return QImage();
    if (!image.hasAlphaChannel())
        return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The scaler works premultiplied for images with alpha; keep its result
    // premultiplied instead of letting a conversion back brighten the edges.
    return DropPremultipliedAlpha(
        image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
            .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QImage OnBlack(const QImage& image) {
    if (image.isNull() || !image.hasAlphaChannel()) return image;
    return DropPremultipliedAlpha(image);
}

}  // namespace glowdeck
