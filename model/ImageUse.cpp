// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ImageUse.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "base/AtomicFile.h"

namespace glowdeck::image_use {

// Defined below, used by Names.
QString Lowered(const QString& text);

namespace {

// The name without its last extension ("ab.c.bmp" -> "ab.c"); the whole
// name when it has none.
QString Stem(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

bool Names(const QString& fileName, const QSet<QString>& ids) {
    const QString name = Lowered(fileName);
    return ids.contains(name) || ids.contains(Stem(name));
}

// A backup larger than this is no project file the program wrote.
constexpr qint64 kMaxBackupBytes = 64 * 1024 * 1024;

QByteArray ReadRegularFile(const QString& path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return QByteArray();
    QByteArray data;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxBackupBytes) {
        data.resize(static_cast<int>(st.st_size));
        qint64 done = 0;
        while (done < data.size()) {
            const ssize_t n =
                ::read(fd, data.data() + done, static_cast<size_t>(data.size() - done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += n;
        }
        data.truncate(static_cast<int>(done));
    }
    ::close(fd);
    return data;
}

}  // namespace

QString Lowered(const QString& text) {
    QString lowered = text;
    for (QChar& c : lowered) {
        const char16_t u = c.unicode();
        if (u >= 0x80) return text.toLower();
        if (u >= 'A' && u <= 'Z') c = QChar(u + ('a' - 'A'));
    }
    return lowered;
}

QSet<QString> IdSet(const QStringList& ids) {
    QSet<QString> set;
    set.reserve(ids.size());
    for (const QString& id : ids)
        if (!id.isEmpty()) set.insert(Lowered(id));
    return set;
}

bool InUse(const QString& fileName, const QSet<QString>& ids) { return Names(fileName, ids); }

Removal RemoveUnused(const QString& folder, const QSet<QString>& inUse,
                     const QSet<QString>* onlyOf) {
    return RemoveUnused(
        folder, [&inUse](const QStringList&) { return inUse; }, onlyOf);
}

Removal RemoveUnused(const QString& folder, const InUseOf& inUseOf, const QSet<QString>* onlyOf) {
    Removal removal;
    QString path = QDir::cleanPath(folder);  // no trailing '/': it would follow a link
    // The folder itself must not be a link: its files would be another
    // folder's. Everything below works on this one open folder, so a link put
    // in its place meanwhile changes nothing.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) return removal;
        removal.ok = false;
        removal.message =
            error == ELOOP || error == ENOTDIR
                ? QCoreApplication::translate("ImageUse",
                                              "图像文件夹不是项目中的文件夹（是链接或文件），"
                                              "其中的文件不清除：%1")
                      .arg(path)
                : QCoreApplication::translate("ImageUse", "无法读取图像文件夹：%1")
                      .arg(SystemErrorText(path, error));
        return removal;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int error = errno;
        ::close(fd);
        removal.ok = false;
        removal.message = QCoreApplication::translate("ImageUse", "无法读取图像文件夹：%1")
                              .arg(SystemErrorText(path, error));
        return removal;
    }
    // First the files that may go, then one question about their names:
    // with `onlyOf` that is a handful of files, whatever the folder holds.
    struct Candidate {
        QByteArray raw;
        QString name;
        struct stat st;
    };
    std::vector<Candidate> candidates;
    QStringList names;
    // With `onlyOf`, an ASCII name (every name the program writes) is
    // compared on its bytes with each id, lowered as it goes: a folder of
    // thousands of images costs no string and no hashing for each, and most
    // names differ from an id at their first byte.
    std::vector<QByteArray> asciiOnlyOf;
    bool allAscii = onlyOf != nullptr;
    if (onlyOf)
        for (const QString& id : *onlyOf) {
            const QByteArray bytes = id.toUtf8();
            allAscii = allAscii &&
                       !std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
            asciiOnlyOf.push_back(bytes);
        }
    // Whether the first `length` bytes of `name` are `id` (lower case) in any
    // letter case.
    const auto sameLowered = [](const char* name, size_t length, const QByteArray& id) {
        if (static_cast<size_t>(id.size()) != length) return false;
        for (size_t k = 0; k < length; ++k) {
            char c = name[k];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
            if (c != id[static_cast<qsizetype>(k)]) return false;
        }
        return true;
    };
    while (const dirent* entry = ::readdir(dir)) {
        const char* const entryName = entry->d_name;
        const size_t length = std::strlen(entryName);
        if (allAscii &&
            std::none_of(entryName, entryName + length, [](char c) { return c & 0x80; })) {
            const auto* dot = static_cast<const char*>(::memrchr(entryName, '.', length));
            const size_t stem = dot ? static_cast<size_t>(dot - entryName) : 0;
            if (std::none_of(asciiOnlyOf.begin(), asciiOnlyOf.end(), [&](const QByteArray& id) {
                    return sameLowered(entryName, length, id) ||
                           (stem > 0 && sameLowered(entryName, stem, id));
                }))
                continue;
        }
        const QByteArray raw(entryName, qsizetype(length));
        if (raw == "." || raw == "..") continue;
        const QString name = QFile::decodeName(raw);
        if (onlyOf && !Names(name, *onlyOf)) continue;
        struct stat st {};
        if (::fstatat(fd, raw.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) continue;
        names << name << Stem(name);
        candidates.push_back({raw, name, st});
    }
    const QSet<QString> inUse = candidates.empty() ? QSet<QString>() : inUseOf(names);
    QStringList failures;
    for (const Candidate& c : candidates) {
        if (Names(c.name, inUse)) continue;
        if (::unlinkat(fd, c.raw.constData(), 0) != 0) {
            failures << SystemErrorText(path + QLatin1Char('/') + c.name, errno);
            continue;
        }
        removal.removed << c.name;
        if (S_ISREG(c.st.st_mode)) removal.bytes += c.st.st_size;
    }
    ::closedir(dir);  // closes fd
    if (!failures.isEmpty()) {
        removal.ok = false;
        removal.message = QCoreApplication::translate("ImageUse", "无法删除：\n%1")
                              .arg(failures.join(QLatin1Char('\n')));
    }
    return removal;
}

QStringList IdsInBackups(const QString& projectFilePath) {
    const QFileInfo project(projectFilePath);
    const QString prefix = project.fileName() + QStringLiteral(".bak");
    static const QRegularExpression idAttribute(
        QStringLiteral("\\bid\\s*=\\s*(?:\"([^\"<]*)\"|'([^'<]*)')"));
    QStringList ids;
    const QDir folder = project.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!name.startsWith(prefix)) continue;
        const QString text = QString::fromUtf8(ReadRegularFile(folder.filePath(name)));
        for (auto it = idAttribute.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            ids << (match.capturedLength(1) ? match.captured(1) : match.captured(2));
        }
    }
    return ids;
}

}  // namespace glowdeck::image_use
