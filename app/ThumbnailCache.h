// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <mutex>

namespace glowdeck {

// 100 × 75 thumbnails of source images, kept per file until the file changes
// (size or modification time). They are made on every core: a JPEG from its
// embedded EXIF thumbnail or at the smallest libjpeg scale that covers the
// thumbnail, other pictures at a reduced size; each finished one is handed
// to this object's thread by a queued call and announced by Ready.
class ThumbnailCache : public QObject {
    Q_OBJECT
public:
    static constexpr int Width = 100;
    static constexpr int Height = 75;

    explicit ThumbnailCache(QObject* parent = nullptr);
    ~ThumbnailCache() override;

    // The thumbnail of `path`, made on the calling thread when not cached.
    QPixmap Get(const QString& path);
    // The cached thumbnail of `path` when it is still that of the file.
    bool Find(const QString& path, QPixmap* pixmap);
    // Makes the thumbnail of `path` on a worker; Ready follows.
    void Request(const QString& path);
    // Requests made before are no longer wanted: those not started yet are dropped.
    void Forget();
    // Waits for the workers and delivers what they made (tests, screenshots).
    void Finish();
    int Size() const { return static_cast<int>(entries_.size()); }

    // The thumbnail image of a source file, on any thread: the whole picture,
    // its shape kept, centred on black.
    static QImage Make(const QString& path);

signals:
    void Ready(const QString& path, const QPixmap& pixmap);

private:
    struct Entry {
        QDateTime modified;
        qint64 bytes = -1;
        QPixmap pixmap;
    };
    struct Made {
        QString path;
        Entry stamp;
        QImage image;
        int generation;
    };
    // Hands what the workers made to this thread a few at a time, so the
    // window never spends long on them in one turn of its event loop.
    void Drain(int most);

    std::mutex madeMutex_;
    QList<Made> made_;
    bool drainPosted_ = false;

    QHash<QString, Entry> entries_;
    QHash<QString, int> inFlight_;  // path and the generation it was asked in
    int generation_ = 0;
    std::shared_ptr<std::atomic<int>> current_ = std::make_shared<std::atomic<int>>(0);
    QThreadPool pool_;
};

}  // namespace glowdeck
