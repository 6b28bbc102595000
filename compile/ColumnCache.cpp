#include "compile/ColumnCache.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <vector>

#include "base/AtomicFile.h"
#include "compile/ProjectCompiler.h"

namespace glowdeck {

QString CColumnCache::DefaultFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/glowdeck/columns");
}

QString CColumnCache::EntryPath(const CompileJob& job, const BallConfig& ball) const {
    struct stat st {};
    if (folder_.isEmpty() || ::stat(QFile::encodeName(job.source).constData(), &st) != 0)
        return QString();
    QByteArray key = QFile::encodeName(job.source);
    key += QByteArray::number(static_cast<qlonglong>(st.st_size)) + ':' +
           QByteArray::number(static_cast<qlonglong>(st.st_mtim.tv_sec)) + '.' +
           QByteArray::number(static_cast<qlonglong>(st.st_mtim.tv_nsec)) + ':' +
           QByteArray::number(static_cast<qulonglong>(st.st_ino)) + ':' +
           QByteArray::number(static_cast<qulonglong>(st.st_dev)) + ':' +
           QByteArray::number(static_cast<int>(job.kind)) + ':' +
           QByteArray::number(job.threshold) + ':' + QByteArray::number(job.shape.frames) + 'x' +
           QByteArray::number(job.shape.width) + ':' + QByteArray::number(ball.ballType) + '/' +
           QByteArray::number(ball.layer);
    // Only dithered items add to the key, so the entries of items that do
    // not dither stay valid.
    if (job.dither) key += ":dither";
    return folder_ + QLatin1Char('/') +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".cols");
}

std::optional<QByteArray> CColumnCache::Find(const CompileJob& job, const BallConfig& ball) const {
    const QString path = EntryPath(job, ball);
    if (path.isEmpty()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const qint64 expected =
        static_cast<qint64>(job.shape.frames) * job.shape.width * ball.ColumnBytes();
    if (file.size() != expected) return std::nullopt;
    QByteArray columns = file.readAll();
    if (columns.size() != expected) return std::nullopt;
    file.close();
    // Touch it: Trim drops the entries used longest ago.
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), nullptr, 0);
    return columns;
}

void CColumnCache::Store(const CompileJob& job, const BallConfig& ball,
                         const QByteArray& columns) const {
    const QString path = EntryPath(job, ball);
    if (path.isEmpty() || !QDir().mkpath(folder_)) return;
    // An entry can always be made again: no need to wait for the disk.
    CAtomicFile entry(path);
    entry.SetDurable(false);
    QString ignored;
    if (entry.Open(&ignored) && entry.Append(columns, &ignored)) entry.Commit(&ignored);
}

void CColumnCache::Trim(qint64 maxBytes) const {
    if (folder_.isEmpty()) return;
    struct Entry {
        QString path;
        timespec used;
        qint64 size;
    };
    std::vector<Entry> entries;
    QDirIterator it(folder_, {QStringLiteral("*.cols")}, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) == 0)
            entries.push_back({path, st.st_mtim, static_cast<qint64>(st.st_size)});
    }
    // Last used first, by the file times themselves: a local-time QDateTime
    // for every comparison reads the time zone file each time, which made
    // this sort cost more than compiling a project from the cache.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.used.tv_sec != b.used.tv_sec) return a.used.tv_sec > b.used.tv_sec;
        if (a.used.tv_nsec != b.used.tv_nsec) return a.used.tv_nsec > b.used.tv_nsec;
        return a.path < b.path;
    });
    qint64 total = 0;
    for (const Entry& entry : entries) {
        total += entry.size;
        if (total > maxBytes) QFile::remove(entry.path);
    }
    RemoveOrphanedTemporaries();
}

void CColumnCache::RemoveOrphanedTemporaries() const {
    // An entry being written is "<entry>.cols.<pid>-<8 hex digits>.tmp". A
    // compile killed while writing one leaves it behind, and no later compile
    // writes that name again: remove those whose process is gone. Other
    // compiles share the folder, so a living writer's file stays.
    static const QRegularExpression temporary(
        QStringLiteral("^[0-9a-f]+\\.cols\\.([0-9]+)-[0-9a-f]{8}\\.tmp$"));
    QDirIterator it(folder_, {QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        const QString path = it.next();
        const QRegularExpressionMatch match = temporary.match(it.fileName());
        if (!match.hasMatch()) continue;
        bool number = false;
        const pid_t writer = match.captured(1).toInt(&number);
        if (number && writer > 0 && ::kill(writer, 0) != 0 && errno == ESRCH) QFile::remove(path);
    }
}

}  // namespace glowdeck
