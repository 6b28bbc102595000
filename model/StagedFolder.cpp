// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/StagedFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>

namespace glowdeck {

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// rename without replacing the target; file systems without that flag get a
// check just before a plain rename.
int RenameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    struct stat info {};
    if (::lstat(to.constData(), &info) == 0) return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

}  // namespace

CStagedFolder::CStagedFolder(QString target) : target_(std::move(target)) {
    while (target_.size() > 1 && target_.endsWith(QLatin1Char('/'))) target_.chop(1);
}

CStagedFolder::~CStagedFolder() {
    if (!temporary_.isEmpty()) QDir(temporary_).removeRecursively();
}

bool CStagedFolder::Create(int* error) {
    const QString parent = QFileInfo(target_).absolutePath();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString candidate =
            QStringLiteral("%1/.glowdeck-new-%2-%3")
                .arg(parent)
                .arg(::getpid())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (::mkdir(Native(candidate).constData(), 0777) == 0) {
            temporary_ = candidate;
            return true;
        }
        if (errno != EEXIST) {
            if (error) *error = errno;
            return false;
        }
    }
    if (error) *error = EEXIST;
    return false;
}

bool CStagedFolder::Commit(int* error) {
    if (temporary_.isEmpty()) {
        if (error) *error = ENOENT;
        return false;
    }
    if (const int failed = RenameNoReplace(Native(temporary_), Native(target_))) {
        if (error) *error = failed;
        return false;
    }
    temporary_.clear();
    const int fd = ::open(Native(QFileInfo(target_).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

}  // namespace glowdeck
