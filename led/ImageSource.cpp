// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/ImageSource.h"

#include <QtEndian>
#include <cstdlib>

namespace glowdeck {

namespace {

QString KindOf(const QByteArray& head) {
    if (head.startsWith("\xFF\xD8")) return QStringLiteral("JPEG");
    if (head.startsWith("\x89PNG\r\n\x1A\n")) return QStringLiteral("PNG");
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) return QStringLiteral("GIF");
    if (head.startsWith("BM")) return QStringLiteral("BMP");
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP") return QStringLiteral("WebP");
    if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4)))
        return QStringLiteral("TIFF");
    return QString();
}

// A BMP's size from its headers (the height's sign only says which row comes
// first), or the reason the file cannot hold the picture they describe: an
// uncompressed one must hold every row.
QString CheckBmp(const QByteArray& head, qint64 fileBytes, QSize* size) {
    if (head.size() < 26) return QStringLiteral("the BMP file is cut short in its header");
    const uchar* p = reinterpret_cast<const uchar*>(head.constData());
    const quint32 pixelsAt = qFromLittleEndian<quint32>(p + 10);
    const quint32 headerBytes = qFromLittleEndian<quint32>(p + 14);
    qint64 width, height;
    int bits;
    quint32 compression = 0;
    if (headerBytes == 12) {  // the oldest header: unsigned 16-bit sizes
        width = qFromLittleEndian<quint16>(p + 18);
        height = qFromLittleEndian<quint16>(p + 20);
        bits = qFromLittleEndian<quint16>(p + 24);
    } else if (headerBytes >= 40 && head.size() >= 34) {
        width = qFromLittleEndian<qint32>(p + 18);
        height = std::llabs(qFromLittleEndian<qint32>(p + 22));
        bits = qFromLittleEndian<quint16>(p + 28);
        compression = qFromLittleEndian<quint32>(p + 30);
    } else {
        return QStringLiteral("the BMP header is damaged (unknown header size %1)")
            .arg(headerBytes);
    }
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return QStringLiteral("the BMP header gives an impossible size (%1 × %2)")
            .arg(width)
            .arg(height);
    // Uncompressed rows (plain or bit fields) are padded to whole 32-bit words.
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (uncompressed && bits > 0 && bits <= 32) {
        const qint64 rowBytes = (width * bits + 31) / 32 * 4;
        const qint64 needed = qint64(pixelsAt) + rowBytes * height;
        if (fileBytes < needed)
            return QStringLiteral("the BMP file is cut short: its pixels need %1 bytes, it has %2")
                .arg(needed)
                .arg(fileBytes);
    }
    *size = QSize(static_cast<int>(width), static_cast<int>(height));
    return QString();
}

}  // namespace

bool CImageSource::Fail(const QString& reason) {
    error_ = reason.isEmpty() ? QStringLiteral("unreadable image data") : reason;
    return false;
}

bool CImageSource::Open(const QString& path) {
    error_.clear();
    reader_.reset();
    path_ = Path::None;
    kind_.clear();
    bmpSize_ = size_ = QSize();
    turned_ = false;
    // A FIFO or a device is refused by what it is, before any decoder blocks on it.
    if (QString why; !file_.Open(path, &why)) return Fail(why);
    QIODevice* device = file_.Device();
    const QByteArray head = device->peek(64);
    if (head.isEmpty()) return Fail(QStringLiteral("the file is empty"));
    kind_ = KindOf(head);
    // JPEGs decode fastest from memory.
    if (kind_ == QLatin1String("JPEG") && jpeg_.Open(path)) {
        path_ = Path::Jpeg;
        size_ = jpeg_.Size();
        return true;
    }
    if (kind_ == QLatin1String("BMP")) {
        const QString problem = CheckBmp(head, device->size(), &bmpSize_);
        if (!problem.isEmpty()) return Fail(problem);
    }
    if (kind_ == QLatin1String("PNG")) {
        if (png_.Open(device)) {
            path_ = Path::Png;
            size_ = png_.Size();
            return true;
        }
        // Qt reads PNGs with the same libpng: its header is as damaged there.
        if (!png_.HeaderError().isEmpty())
            return Fail(QStringLiteral("damaged PNG data (%1)").arg(png_.HeaderError()));
    }
    path_ = Path::Reader;
    QSize stored = Reader().size();
    if (bmpSize_.isValid() && Reader().canRead()) stored = bmpSize_;
    if (!stored.isValid() || stored.isEmpty()) return Fail(ReaderProblem());
    size_ = turned_ ? stored.transposed() : stored;
    return true;
}

QImageReader& CImageSource::Reader() {
    if (!reader_) {
        reader_.emplace(file_.Device());
        reader_->setDecideFormatFromContent(true);
        // Off by default in Qt 6: a phone's portrait photo would lie on its side.
        reader_->setAutoTransform(true);
        turned_ = reader_->transformation() & QImageIOHandler::TransformationRotate90;
    }
    return *reader_;
}

QString CImageSource::ReaderProblem() {
    const QImageReader& reader = Reader();
    if (reader.error() == QImageReader::DeviceError)
        return QStringLiteral("cannot read the file: %1").arg(reader.errorString());
    if (kind_.isEmpty()) return QStringLiteral("not a picture in a format this program reads");
    if (reader.error() == QImageReader::UnsupportedFormatError)
        return QStringLiteral("%1 pictures of this kind are not supported").arg(kind_);
    return QStringLiteral("damaged or incomplete %1 data").arg(kind_);
}

QImage CImageSource::Read(const QSize& scaled) {
    if (path_ == Path::None) return QImage();
    if (path_ == Path::Jpeg) {
        QImage image = jpeg_.Read(scaled);
        if (!image.isNull()) return image;
        // What libjpeg gives up on, QImageReader decodes as far as it can.
        path_ = Path::Reader;
    }
    if (path_ == Path::Png) {
        path_ = Path::None;
        QString why;
        QImage image = png_.Read(&why);
        if (image.isNull()) {
            Fail(QStringLiteral("damaged PNG data (%1)").arg(why));
            return image;
        }
        if (scaled.isValid() && scaled != image.size())
            image = image.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return image;
    }
    path_ = Path::None;
    QImageReader& reader = Reader();
    if (scaled.isValid()) reader.setScaledSize(turned_ ? scaled.transposed() : scaled);
    QImage image = reader.read();
    if (image.isNull()) Fail(ReaderProblem());
    return image;
}

}  // namespace glowdeck
