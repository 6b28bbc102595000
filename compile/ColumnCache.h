#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

#include "base/BallConfig.h"

namespace glowdeck {

struct CompileJob;

// Packed columns of items compiled before, so that compiling again after a
// change converts only the items that changed. An entry is found by the
// source file (path, size, modification time, inode), the item's kind,
// thresholds, dithering and column shape, and the ball configuration; sources are
// written under a fresh name on every change, so a stale entry is never
// found. Each entry carries a checksum of its key and its columns: an entry
// damaged on disk, or one that belongs to another key, is a miss, and the
// compile converts the item again and writes the entry anew. Entries are
// written atomically; a cache that cannot be written is simply not used.
// Empty folder: no cache.
class CColumnCache {
public:
    explicit CColumnCache(QString folder) : folder_(std::move(folder)) {}

    std::optional<QByteArray> Find(const CompileJob& job, const BallConfig& ball) const;
    void Store(const CompileJob& job, const BallConfig& ball, const QByteArray& columns) const;
    // Keeps the folder under `maxBytes`, dropping the entries used longest ago,
    // and removes the unfinished entries of compiles that were killed.
    void Trim(qint64 maxBytes = 256 * 1024 * 1024) const;

    // The per-user default: the cache folder of the system (XDG).
    static QString DefaultFolder();

private:
    void RemoveOrphanedTemporaries() const;

    // What an entry is found by; empty when the source cannot be read.
    QByteArray EntryKey(const CompileJob& job, const BallConfig& ball) const;
    QString EntryPath(const QByteArray& key) const;
    QString folder_;
};

}  // namespace glowdeck
