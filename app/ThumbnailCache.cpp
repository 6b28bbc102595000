#include "app/ThumbnailCache.h"

#include <QFileInfo>
#include <QPainter>

#include "led/ImageCodec.h"

namespace glowdeck {

QPixmap ThumbnailCache::Get(const QString& path) {
    const QFileInfo info(path);
    auto it = entries_.find(path);
    if (it != entries_.end() && it->modified == info.lastModified() && it->bytes == info.size())
        return it->pixmap;
    // Opaque black behind pictures that have transparent parts.
    QImage thumb(Width, Height, QImage::Format_RGB32);
    thumb.fill(Qt::black);
    const QImage source = DecodeImageScaled(path, QSize(Width * 2, Height * 2));
    if (!source.isNull()) {
        // The whole picture, its shape kept, centred in the cell.
        const QImage scaled =
            source.scaled(Width, Height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&thumb);
        painter.drawImage((Width - scaled.width()) / 2, (Height - scaled.height()) / 2, scaled);
    }
    Entry entry{info.lastModified(), info.size(), QPixmap::fromImage(thumb)};
    entries_.insert(path, entry);
    return entry.pixmap;
}

}  // namespace glowdeck
