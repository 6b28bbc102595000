// SPDX-License-Identifier: GPL-3.0-or-later
#include "compile/CompileStamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>
#include <array>
#include <cstdint>
#include <cstring>

#include "base/AccessError.h"
#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "model/ProjectFile.h"

namespace glowdeck {

namespace {

constexpr char kMagic[] = "GDDONE1";

// A 128-bit fingerprint, eight bytes a step: the inputs run to megabytes,
// and a cryptographic hash of them would cost a good part of the compile it
// saves. They are the user's own files, not an adversary's.
class Fingerprinter {
public:
    void Add(const char* data, size_t size) {
        size_t k = 0;
        for (; k + 8 <= size; k += 8) {
            std::uint64_t word;
            std::memcpy(&word, data + k, 8);
            Step(word);
        }
        std::uint64_t tail = 0;
        std::memcpy(&tail, data + k, size - k);
        Step(tail ^ (static_cast<std::uint64_t>(size) << 56));
        Step(size);
    }
    void Add(const QByteArray& bytes) { Add(bytes.constData(), static_cast<size_t>(bytes.size())); }
    QByteArray Result() const {
        QByteArray out(16, Qt::Uninitialized);
        std::memcpy(out.data(), &a_, 8);
        std::memcpy(out.data() + 8, &b_, 8);
        return out.toHex();
    }

private:
    void Step(std::uint64_t word) {
        a_ = (a_ ^ word) * 0x100000001b3ull;
        b_ = b_ + word * 0x9e3779b97f4a7c15ull;
        b_ = ((b_ << 31) | (b_ >> 33)) * 0x87c37b91114253d5ull;
    }
    std::uint64_t a_ = 0xcbf29ce484222325ull, b_ = 0x6a09e667f3bcc909ull;
};

// Size, modification and change times (nanoseconds) and inode of a file;
// "-" when it cannot be looked at.
QByteArray Identity(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return QByteArrayLiteral("-");
    return QByteArray::number(static_cast<qlonglong>(st.st_size)) + ' ' +
           QByteArray::number(static_cast<qlonglong>(st.st_mtim.tv_sec)) + '.' +
           QByteArray::number(static_cast<qlonglong>(st.st_mtim.tv_nsec)) + ' ' +
           QByteArray::number(static_cast<qlonglong>(st.st_ctim.tv_sec)) + '.' +
           QByteArray::number(static_cast<qlonglong>(st.st_ctim.tv_nsec)) + ' ' +
           QByteArray::number(static_cast<qulonglong>(st.st_ino));
}

}  // namespace

QString CompileStamp::PathFor(const QString& cacheFolder, const QString& projectFolder) {
    return cacheFolder + QLatin1Char('/') +
           QString::fromLatin1(
               QCryptographicHash::hash(QFile::encodeName(projectFolder), QCryptographicHash::Sha1)
                   .toHex()) +
           QStringLiteral(".done");
}

QByteArray CompileStamp::Fingerprint(const CProjectFile& file, const QByteArray& projectBytes,
                                     const QString& imagesFolder, const BallConfig& ball) {
    Fingerprinter hash;
    // The program's version: another release may convert the same inputs
    // to other bytes.
    hash.Add(QByteArray(kMagic) + ' ' + GLOWDECK_STAMP_VERSION + ' ' +
             QByteArray::number(ball.ballType) + ' ' + QByteArray::number(ball.layer));
    hash.Add(projectBytes);
    std::array<QByteArray, 4> extension;
    for (const ItemKind kind :
         {ItemKind::Picture, ItemKind::Animation, ItemKind::Text, ItemKind::Interval})
        extension[static_cast<size_t>(kind)] = QFile::encodeName(KindInfo(kind).extension);
    // Each source looked at through its folder: no walk of the whole path
    // for each of thousands of items.
    const int images =
        ::open(QFile::encodeName(imagesFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    try {
        for (int g = 0; g < file.GroupCount(); ++g)
            for (int i = 0; i < file.ItemCount(g); ++i) {
                const auto kind = file.KindOf(g, i);
                if (!kind) continue;
                // Throws for an id that is no plain file name.
                const QByteArray name =
                    QFile::encodeName(file.ItemId(g, i)) + extension[static_cast<size_t>(*kind)];
                struct stat st {};
                std::int64_t seen[6] = {};  // all 0: cannot be looked at
                if (images >= 0 && ::fstatat(images, name.constData(), &st, 0) == 0)
                    seen[0] = st.st_size, seen[1] = st.st_mtim.tv_sec, seen[2] = st.st_mtim.tv_nsec,
                    seen[3] = st.st_ctim.tv_sec, seen[4] = st.st_ctim.tv_nsec,
                    seen[5] = static_cast<std::int64_t>(st.st_ino);
                hash.Add(name);
                hash.Add(reinterpret_cast<const char*>(seen), sizeof seen);
            }
    } catch (const AccessError&) {
        if (images >= 0) ::close(images);
        return {};
    }
    if (images >= 0) ::close(images);
    return hash.Result();
}

bool CompileStamp::Write(const QString& path, const QString& dataFile) const {
    const QByteArray text = QByteArray(kMagic) + '\n' + fingerprint + '\n' + Identity(dataFile) +
                            '\n' + QByteArray::number(groups) + ' ' + QByteArray::number(items) +
                            ' ' + QByteArray::number(columns) + ' ' + QByteArray::number(bytes) +
                            '\n';
    // Made again by any compile: no syncs, as for the cache's own files.
    CAtomicFile file(path);
    file.SetDurable(false);
    QString ignored;
    return file.Open(&ignored) && file.Append(text, &ignored) && file.Commit(&ignored);
}

std::optional<CompileStamp> CompileStamp::Read(const QString& path, const QByteArray& fingerprint,
                                               const QString& dataFile) {
    if (fingerprint.isEmpty()) return std::nullopt;
    const std::optional<QByteArray> text = ReadWholeFile(path, 4096, nullptr);
    if (!text) return std::nullopt;
    const QList<QByteArray> lines = text->split('\n');
    if (lines.size() != 5 || lines[0] != kMagic || lines[1] != fingerprint ||
        lines[2] != Identity(dataFile) || !lines[4].isEmpty())
        return std::nullopt;
    const QList<QByteArray> numbers = lines[3].split(' ');
    if (numbers.size() != 4) return std::nullopt;
    CompileStamp stamp;
    bool ok[4] = {};
    stamp.fingerprint = fingerprint;
    stamp.groups = numbers[0].toInt(&ok[0]);
    stamp.items = numbers[1].toInt(&ok[1]);
    stamp.columns = numbers[2].toUInt(&ok[2]);
    stamp.bytes = numbers[3].toUInt(&ok[3]);
    if (!(ok[0] && ok[1] && ok[2] && ok[3])) return std::nullopt;
    return stamp;
}

}  // namespace glowdeck
