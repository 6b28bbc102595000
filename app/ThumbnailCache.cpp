// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ThumbnailCache.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>

#include "led/ImageCodec.h"
#include "led/JpegDecoder.h"

namespace glowdeck {

ThumbnailCache::ThumbnailCache(QObject* parent) : QObject(parent) {
    pool_.setMaxThreadCount(QThread::idealThreadCount());
}

ThumbnailCache::~ThumbnailCache() {
    // The workers call back into this object: none may outlive it.
    pool_.clear();
    pool_.waitForDone();
}

QImage ThumbnailCache::Make(const QString& path) {
    QImage source;
    CJpegDecoder jpeg;
    if (jpeg.Open(path)) source = jpeg.ReadThumbnail(QSize(Width, Height));
    if (source.isNull()) source = DecodeImageScaled(path, QSize(Width * 2, Height * 2));
    // Opaque black behind pictures that have transparent parts.
    QImage thumb(Width, Height, QImage::Format_RGB32);
    thumb.fill(Qt::black);
    if (!source.isNull()) {
        const QImage scaled =
            source.scaled(Width, Height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&thumb);
        painter.drawImage((Width - scaled.width()) / 2, (Height - scaled.height()) / 2, scaled);
    }
    return thumb;
}

bool ThumbnailCache::Find(const QString& path, QPixmap* pixmap) {
    const QFileInfo info(path);
    const auto it = entries_.constFind(path);
    if (it == entries_.constEnd() || it->modified != info.lastModified() ||
        it->bytes != info.size())
        return false;
    *pixmap = it->pixmap;
    return true;
}

QPixmap ThumbnailCache::Get(const QString& path) {
    QPixmap pixmap;
    if (Find(path, &pixmap)) return pixmap;
    const QFileInfo info(path);
    Entry entry{info.lastModified(), info.size(), QPixmap::fromImage(Make(path))};
    entries_.insert(path, entry);
    return entry.pixmap;
}

void ThumbnailCache::Request(const QString& path) {
    const auto flying = inFlight_.constFind(path);
    if (flying != inFlight_.constEnd() && *flying == generation_) return;
    inFlight_.insert(path, generation_);
    // The file as it was asked for: a change meanwhile makes it stale again.
    const QFileInfo info(path);
    const Entry stamp{info.lastModified(), info.size(), QPixmap()};
    const int generation = generation_;
    pool_.start([this, path, stamp, generation, current = current_] {
        // A request that is no longer wanted costs no decoding.
        const QImage image = current->load() == generation ? Make(path) : QImage();
        std::lock_guard<std::mutex> lock(madeMutex_);
        made_.append({path, stamp, image, generation});
        if (!drainPosted_) {
            drainPosted_ = true;
            QMetaObject::invokeMethod(
                this, [this] { Drain(8); }, Qt::QueuedConnection);
        }
    });
}

void ThumbnailCache::Drain(int most) {
    QList<Made> batch;
    {
        std::lock_guard<std::mutex> lock(madeMutex_);
        const qsizetype n = most < 0 ? made_.size() : std::min<qsizetype>(most, made_.size());
        batch = made_.mid(0, n);
        made_.remove(0, n);
        drainPosted_ = !made_.isEmpty();
        if (drainPosted_)
            QMetaObject::invokeMethod(
                this, [this] { Drain(8); }, Qt::QueuedConnection);
    }
    for (const Made& m : batch) {
        const auto flying = inFlight_.constFind(m.path);
        if (flying != inFlight_.constEnd() && *flying == m.generation) inFlight_.erase(flying);
        if (m.image.isNull()) continue;  // dropped
        Entry entry = m.stamp;
        entry.pixmap = QPixmap::fromImage(m.image);
        entries_.insert(m.path, entry);
        emit Ready(m.path, entry.pixmap);
    }
}

void ThumbnailCache::Forget() {
    *current_ = ++generation_;
    pool_.clear();
    inFlight_.clear();
}

void ThumbnailCache::Finish() {
    pool_.waitForDone();
    Drain(-1);
}

}  // namespace glowdeck
