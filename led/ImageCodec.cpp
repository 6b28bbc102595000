#include "led/ImageCodec.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include "base/AtomicFile.h"
#include "led/GifWriter.h"

namespace glowdeck {

namespace {

QImage Read(QImageReader& reader, QString* error) {
    QImage image = reader.read();
    if (image.isNull() && error) *error = reader.errorString();
    return image;
}

}  // namespace

QImage DecodeImage(const QString& path, QString* error) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return Read(reader, error);
}

QImage DecodeImageScaled(const QString& path, const QSize& bound, QString* error) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && bound.isValid() &&
        (size.width() > bound.width() || size.height() > bound.height()))
        reader.setScaledSize(size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return Read(reader, error);
}

QSize ImageFileSize(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.size();
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

QImage MakeThumbnail(const QImage& image, int width, int height) {
    if (image.isNull() || width <= 0 || height <= 0) return QImage();
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace glowdeck
