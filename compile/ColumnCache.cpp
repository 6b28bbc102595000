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
#include <cstdint>
#include <vector>

#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "compile/ProjectCompiler.h"

namespace glowdeck {

QString CColumnCache::DefaultFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/glowdeck/columns");
}

namespace {

// "GDCOLS1" and a version byte: entries of other layouts (the headerless
// ones of earlier builds among them) are misses and get written anew.
constexpr char kMagic[8] = {'G', 'D', 'C', 'O', 'L', 'S', '1', '\x01'};
constexpr int kHeaderBytes = 16;  // magic, then the 64-bit checksum (little-endian)

// FNV-1a, 64 bits: cheap next to converting an item, and any damage to a
// byte changes it.
std::uint64_t Fnv1a(const QByteArray& bytes, std::uint64_t hash) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::uint64_t Checksum(const QByteArray& key, const QByteArray& columns) {
    // The key's length goes first, so that no split of the same bytes
    // between key and columns gives the same sum.
    const QByteArray length = QByteArray::number(key.size()) + ':';
    return Fnv1a(columns, Fnv1a(key, Fnv1a(length, 0xcbf29ce484222325ull)));
}

// An entry's bytes: the header (magic word, checksum of key and columns),
// then the columns.
QByteArray EntryBytes(const QByteArray& key, const QByteArray& columns) {
    QByteArray entry(kMagic, sizeof kMagic);
    std::uint64_t sum = Checksum(key, columns);
    for (int k = 0; k < 8; ++k, sum >>= 8) entry += static_cast<char>(sum & 0xFF);
    return entry + columns;
}

// The columns of an entry read back, when its size, magic word and checksum
// agree with `key`; nullopt otherwise.
std::optional<QByteArray> EntryColumns(const QByteArray& key, const QByteArray& entry,
                                       qint64 expectedSize) {
    if (entry.size() != kHeaderBytes + expectedSize ||
        !entry.startsWith(QByteArray::fromRawData(kMagic, sizeof kMagic)))
        return std::nullopt;
    std::uint64_t stored = 0;
    for (int k = 7; k >= 0; --k)
        stored = (stored << 8) | static_cast<unsigned char>(entry[sizeof kMagic + k]);
    QByteArray columns = entry.mid(kHeaderBytes);
    if (Checksum(key, columns) != stored) return std::nullopt;
    return columns;
}

}  // namespace

QByteArray CColumnCache::EntryKey(const CompileJob& job, const BallConfig& ball) const {
    struct stat st {};
    if (folder_.isEmpty() || ::stat(QFile::encodeName(job.source).constData(), &st) != 0)
        return QByteArray();
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
    return key;
}

QString CColumnCache::EntryPath(const QByteArray& key) const {
    return folder_ + QLatin1Char('/') +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".cols");
}

std::optional<QByteArray> CColumnCache::Find(const CompileJob& job, const BallConfig& ball) const {
    const QByteArray key = EntryKey(job, ball);
    if (key.isEmpty()) return std::nullopt;
    const QString path = EntryPath(key);
    const qint64 expected =
        static_cast<qint64>(job.shape.frames) * job.shape.width * ball.ColumnBytes();
    // Only a regular file of the entry's size is read: a FIFO or a device put
    // in the cache is a miss, not a hang.
    const std::optional<QByteArray> bytes = ReadWholeFile(path, kHeaderBytes + expected, nullptr);
    if (!bytes || bytes->size() != kHeaderBytes + expected) return std::nullopt;
    std::optional<QByteArray> columns = EntryColumns(key, *bytes, expected);
    if (!columns) return std::nullopt;
    // Touch it: Trim drops the entries used longest ago.
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), nullptr, 0);
    return columns;
}

void CColumnCache::Store(const CompileJob& job, const BallConfig& ball,
                         const QByteArray& columns) const {
    const QByteArray key = EntryKey(job, ball);
    if (key.isEmpty() || !QDir().mkpath(folder_)) return;
    // An entry can always be made again: no need to wait for the disk.
    CAtomicFile entry(EntryPath(key));
    entry.SetDurable(false);
    // One that cannot be written is converted again next time.
    QString ignored;
    [[maybe_unused]] const bool stored = entry.Open(&ignored) &&
                                         entry.Append(EntryBytes(key, columns), &ignored) &&
                                         entry.Commit(&ignored);
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
