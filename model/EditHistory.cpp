// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/EditHistory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "base/AtomicFile.h"
#include "model/ImageUse.h"

namespace glowdeck::edit_history {

namespace {

QString Clean(const QString& folder) { return QDir::cleanPath(folder); }

}  // namespace

QString FolderOf(const QString& projectFolder) {
    return Clean(projectFolder + QStringLiteral("/.glowdeck-history"));
}

bool Remove(const QString& projectFolder) {
    const QString folder = FolderOf(projectFolder);
    const QFileInfo info(folder);
    if (info.isSymLink() || (info.exists() && !info.isDir())) return QFile::remove(folder);
    if (!info.exists()) return true;
    // removeRecursively removes links inside as links.
    return QDir(folder).removeRecursively();
}

Moved MoveFiles(const QString& from, const QString& to, const QSet<QString>& ids) {
    Moved moved;
    if (ids.isEmpty()) return moved;
    const QByteArray source = QFile::encodeName(Clean(from));
    const QByteArray target = QFile::encodeName(Clean(to));
    const int fromFd = ::open(source.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fromFd < 0) {
        // No folder, nothing of it to move.
        if (errno == ENOENT) return moved;
        moved.ok = false;
        moved.message = SystemErrorText(Clean(from), errno);
        return moved;
    }
    if (::mkdir(target.constData(), 0777) != 0 && errno != EEXIST) {
        moved.ok = false;
        moved.message = SystemErrorText(Clean(to), errno);
        ::close(fromFd);
        return moved;
    }
    const int toFd = ::open(target.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (toFd < 0) {
        moved.ok = false;
        moved.message = SystemErrorText(Clean(to), errno);
        ::close(fromFd);
        return moved;
    }
    DIR* dir = ::fdopendir(fromFd);
    if (!dir) {
        moved.ok = false;
        moved.message = SystemErrorText(Clean(from), errno);
        ::close(fromFd);
        ::close(toFd);
        return moved;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw == "." || raw == "..") continue;
        const QString name = QFile::decodeName(raw);
        if (!image_use::InUse(name, ids)) continue;
        struct stat st {};
        if (::fstatat(fromFd, raw.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) continue;
        if (::renameat(fromFd, raw.constData(), toFd, raw.constData()) != 0) {
            moved.ok = false;
            moved.message = SystemErrorText(Clean(from) + QLatin1Char('/') + name, errno);
            break;
        }
        moved.names << name;
    }
    ::closedir(dir);
    ::fsync(toFd);
    ::close(toFd);
    return moved;
}

void MoveBack(const QString& from, const QString& to, const QStringList& names) {
    for (const QString& name : names)
        (void)::rename(QFile::encodeName(Clean(from) + QLatin1Char('/') + name).constData(),
                       QFile::encodeName(Clean(to) + QLatin1Char('/') + name).constData());
}

}  // namespace glowdeck::edit_history

namespace glowdeck {

QString StepText(EditKind kind, const QString& name) {
    // In the order of EditKind.
    static const char* const kVerbs[] = {
        QT_TRANSLATE_NOOP("EditStep", "添加"),     QT_TRANSLATE_NOOP("EditStep", "删除"),
        QT_TRANSLATE_NOOP("EditStep", "重命名"),   QT_TRANSLATE_NOOP("EditStep", "复制"),
        QT_TRANSLATE_NOOP("EditStep", "移动"),     QT_TRANSLATE_NOOP("EditStep", "选择源文件"),
        QT_TRANSLATE_NOOP("EditStep", "确认文字"), QT_TRANSLATE_NOOP("EditStep", "应用间隔"),
        QT_TRANSLATE_NOOP("EditStep", "置换图片"), QT_TRANSLATE_NOOP("EditStep", "设置"),
    };
    const QString verb = QCoreApplication::translate("EditStep", kVerbs[static_cast<int>(kind)]);
    if (name.isEmpty()) return verb;
    //: An undo step: %1 what it did, %2 the name of the group or item.
    return QCoreApplication::translate("EditStep", "%1“%2”").arg(verb, name);
}

}  // namespace glowdeck
