#pragma once
#include <QDateTime>
#include <QHash>
#include <QPixmap>
#include <QString>

namespace glowdeck {

// 100 × 75 thumbnails of source images, decoded at a reduced size and kept
// per file until the file changes (size or modification time).
class ThumbnailCache {
public:
    static constexpr int Width = 100;
    static constexpr int Height = 75;

    QPixmap Get(const QString& path);
    int Size() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        QDateTime modified;
        qint64 bytes = -1;
        QPixmap pixmap;
    };
    QHash<QString, Entry> entries_;
};

}  // namespace glowdeck
