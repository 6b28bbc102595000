// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <charconv>
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

// A pack: "GDPACK1" and a version byte, the 64-bit checksum (little-endian)
// of everything after the header, then per entry the key's and the
// columns' lengths (32 bits, little-endian) and their bytes.
constexpr char kPackMagic[8] = {'G', 'D', 'P', 'A', 'C', 'K', '1', '\x01'};
constexpr qint64 kMaxPackBytes = 64 << 20;

void AppendU32(QByteArray& out, quint32 value) {
    for (int k = 0; k < 4; ++k, value >>= 8) out += static_cast<char>(value & 0xFF);
}

quint64 LittleEndian(const char* p, int bytes) {
    quint64 value = 0;
    for (int k = bytes - 1; k >= 0; --k) value = (value << 8) | static_cast<unsigned char>(p[k]);
    return value;
}

QByteArray PackBytes(const QHash<QByteArray, QByteArray>& entries) {
    QByteArray body;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        AppendU32(body, static_cast<quint32>(it.key().size()));
        AppendU32(body, static_cast<quint32>(it.value().size()));
        body += it.key();
        body += it.value();
    }
    QByteArray pack(kPackMagic, sizeof kPackMagic);
    std::uint64_t sum = Fnv1a(body, 0xcbf29ce484222325ull);
    for (int k = 0; k < 8; ++k, sum >>= 8) pack += static_cast<char>(sum & 0xFF);
    return pack + body;
}

// The entries of a pack, or none when any of it is damaged.
QHash<QByteArray, QByteArray> PackEntries(const QByteArray& pack) {
    QHash<QByteArray, QByteArray> entries;
    if (pack.size() < kHeaderBytes || !pack.startsWith(QByteArray::fromRawData(kPackMagic, 8)))
        return entries;
    const QByteArray body =
        QByteArray::fromRawData(pack.constData() + kHeaderBytes, pack.size() - kHeaderBytes);
    if (Fnv1a(body, 0xcbf29ce484222325ull) != LittleEndian(pack.constData() + 8, 8)) return entries;
    for (qsizetype at = 0; at < body.size();) {
        if (body.size() - at < 8) return {};
        const qint64 keyBytes = static_cast<qint64>(LittleEndian(body.constData() + at, 4));
        const qint64 columnBytes = static_cast<qint64>(LittleEndian(body.constData() + at + 4, 4));
        at += 8;
        if (keyBytes + columnBytes > body.size() - at) return {};
        entries.insert(body.mid(at, keyBytes), body.mid(at + keyBytes, columnBytes));
        at += keyBytes + columnBytes;
    }
    return entries;
}

}  // namespace

CColumnCache::~CColumnCache() = default;

void CColumnCache::OpenPack(const QString& projectFolder) {
    if (folder_.isEmpty()) return;
    pack_ = std::make_unique<Pack>();
    pack_->path = folder_ + QLatin1Char('/') +
                  QString::fromLatin1(QCryptographicHash::hash(QFile::encodeName(projectFolder),
                                                               QCryptographicHash::Sha1)
                                          .toHex()) +
                  QStringLiteral(".pack");
    if (const std::optional<QByteArray> bytes = ReadWholeFile(pack_->path, kMaxPackBytes, nullptr))
        pack_->read = PackEntries(*bytes);
}

void CColumnCache::ClosePack() {
    if (!pack_) return;
    const std::unique_ptr<Pack> pack = std::move(pack_);
    const QByteArray path = QFile::encodeName(pack->path);
    if (!pack->changed) {
        // Nothing new: only touched, so that Trim keeps it.
        ::utimensat(AT_FDCWD, path.constData(), nullptr, 0);
        return;
    }
    // Entries this compile did not use stay while they are no more than
    // those it used (an item set back, a ball type switched to and fro);
    // beyond that they go, so the pack never grows past twice the project.
    qint64 usedBytes = 0, unusedBytes = 0;
    for (auto it = pack->used.cbegin(); it != pack->used.cend(); ++it)
        usedBytes += it.key().size() + it.value().size();
    QHash<QByteArray, QByteArray> kept = pack->used;
    for (auto it = pack->read.cbegin(); it != pack->read.cend(); ++it) {
        if (kept.contains(it.key())) continue;
        unusedBytes += it.key().size() + it.value().size();
        if (unusedBytes > usedBytes) break;
        kept.insert(it.key(), it.value());
    }
    if (!QDir().mkpath(folder_)) return;
    CAtomicFile file(pack->path);
    file.SetDurable(false);
    QString ignored;
    [[maybe_unused]] const bool stored =
        file.Open(&ignored) && file.Append(PackBytes(kept), &ignored) && file.Commit(&ignored);
}

namespace {

template <class Number>
void AppendNumber(QByteArray& out, Number value, char after) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
    if (after) out.append(after);
}

}  // namespace

QByteArray CColumnCache::EntryKey(const CompileJob& job, const BallConfig& ball) const {
    // Made for every item of every compile: numbers are written straight
    // into one buffer.
    const QByteArray source = QFile::encodeName(job.source);
    struct stat st {};
    if (folder_.isEmpty() || ::stat(source.constData(), &st) != 0) return QByteArray();
    QByteArray key;
    key.reserve(source.size() + 128);
    key += source;
    AppendNumber(key, static_cast<long long>(st.st_size), ':');
    AppendNumber(key, static_cast<long long>(st.st_mtim.tv_sec), '.');
    AppendNumber(key, static_cast<long long>(st.st_mtim.tv_nsec), ':');
    AppendNumber(key, static_cast<unsigned long long>(st.st_ino), ':');
    AppendNumber(key, static_cast<unsigned long long>(st.st_dev), ':');
    AppendNumber(key, static_cast<int>(job.kind), ':');
    AppendNumber(key, static_cast<unsigned>(job.threshold), ':');
    AppendNumber(key, job.shape.frames, 'x');
    AppendNumber(key, job.shape.width, ':');
    AppendNumber(key, ball.ballType, '/');
    AppendNumber(key, ball.layer, 0);
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

std::optional<QByteArray> CColumnCache::Find(const CompileJob& job, const BallConfig& ball,
                                             QByteArray* keyOut) const {
    const QByteArray key = EntryKey(job, ball);
    if (keyOut) *keyOut = key;
    if (key.isEmpty()) return std::nullopt;
    const qint64 expected =
        static_cast<qint64>(job.shape.frames) * job.shape.width * ball.ColumnBytes();
    if (pack_ && expected <= SmallBytes) {
        std::lock_guard<std::mutex> lock(pack_->mutex);
        const auto found = pack_->read.constFind(key);
        if (found == pack_->read.constEnd() || found->size() != expected) return std::nullopt;
        pack_->used.insert(key, *found);
        return *found;
    }
    const QString path = EntryPath(key);
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

void CColumnCache::Store(const CompileJob& job, const BallConfig& ball, const QByteArray& columns,
                         const QByteArray* knownKey) const {
    const QByteArray key = knownKey ? *knownKey : EntryKey(job, ball);
    if (key.isEmpty()) return;
    if (pack_ && columns.size() <= SmallBytes) {
        std::lock_guard<std::mutex> lock(pack_->mutex);
        pack_->used.insert(key, columns);
        pack_->changed = true;
        return;
    }
    if (!QDir().mkpath(folder_)) return;
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
    QDirIterator it(folder_, {QStringLiteral("*.cols"), QStringLiteral("*.pack")}, QDir::Files);
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
    // An entry being written is "<entry>.cols.<pid>-<8 hex digits>.tmp" (or
    // ".pack."). A
    // compile killed while writing one leaves it behind, and no later compile
    // writes that name again: remove those whose process is gone. Other
    // compiles share the folder, so a living writer's file stays.
    static const QRegularExpression temporary(
        QStringLiteral("^[0-9a-f]+\\.(?:cols|pack)\\.([0-9]+)-[0-9a-f]{8}\\.tmp$"));
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
