// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <mutex>
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
//
// Small entries (intervals, texts, narrow pictures: at most SmallBytes of
// columns) are kept together in one pack file per project, read whole at
// the start of a compile and written once at its end: a file of their own
// would cost more to find, read and write than converting them again. The
// pack carries one checksum over all of it; a damaged pack is a miss for
// every entry in it.
class CColumnCache {
public:
    static constexpr qint64 SmallBytes = 8192;

    explicit CColumnCache(QString folder) : folder_(std::move(folder)) {}
    ~CColumnCache();
    CColumnCache(const CColumnCache&) = delete;
    CColumnCache& operator=(const CColumnCache&) = delete;

    // Reads the pack of the project in `projectFolder`; small entries are
    // then found and stored there. Without it, every entry has its own file.
    void OpenPack(const QString& projectFolder);
    // Writes the pack when this compile stored small entries: it then holds
    // those this compile used, and of the others no more than as many bytes.
    void ClosePack();

    // `key`, when given, gets what the entry is found by, for a Store after
    // a miss: the source is then looked at once.
    std::optional<QByteArray> Find(const CompileJob& job, const BallConfig& ball,
                                   QByteArray* key = nullptr) const;
    void Store(const CompileJob& job, const BallConfig& ball, const QByteArray& columns,
               const QByteArray* key = nullptr) const;
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

    // The small entries of the project: those read from its pack, and
    // those this compile used or stored (Find and Store run on every worker).
    struct Pack {
        QString path;
        QHash<QByteArray, QByteArray> read, used;
        bool changed = false;
        std::mutex mutex;
    };
    std::unique_ptr<Pack> pack_;
};

}  // namespace glowdeck
