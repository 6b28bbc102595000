// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProgramFolders.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace glowdeck {

namespace {

QString WithoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}

// access() rather than the permission bits: it also answers for ACLs and
// read-only mounts.
bool CanWriteInto(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

}  // namespace

ProgramFolders::ProgramFolders(QString programFolder, QString userConfigFolder)
    : programFolder_(WithoutTrailingSlash(std::move(programFolder))),
      userConfigFolder_(WithoutTrailingSlash(std::move(userConfigFolder))) {}

ProgramFolders ProgramFolders::ForThisProgram() {
    // A helper installed in PREFIX/libexec/glowdeck (the command-line tool's
    // full program) belongs to the programs in PREFIX/bin.
    QString folder = QCoreApplication::applicationDirPath();
    if (folder.endsWith(QLatin1String("/libexec/glowdeck")))
        folder = QDir::cleanPath(folder + QStringLiteral("/../../bin"));
    return ProgramFolders(folder, DefaultUserConfigFolder());
}

QString ProgramFolders::DefaultUserConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Glowdeck");
}

QString ProgramFolders::ShareFolder() const {
    return QDir::cleanPath(programFolder_ + QStringLiteral("/../share/glowdeck"));
}

bool ProgramFolders::Installed() const {
    return QDir(programFolder_).dirName() == QLatin1String("bin") &&
           QFileInfo(ShareFolder()).isDir();
}

QString ProgramFolders::WritableFolder() const {
    if (!Installed() && CanWriteInto(programFolder_)) return programFolder_;
    QDir().mkpath(userConfigFolder_);
    return userConfigFolder_;
}

QString ProgramFolders::SettingsFile() const {
    return WritableFolder() + QStringLiteral("/setting.ini");
}

QString ProgramFolders::FolderHolding(const QString& name) const {
    if (QFileInfo(programFolder_ + QLatin1Char('/') + name).isFile()) return programFolder_;
    if (QFileInfo(ShareFolder() + QLatin1Char('/') + name).isFile()) return ShareFolder();
    return programFolder_;
}

QString ProgramFolders::HelpFolder() const {
    const QString beside = programFolder_ + QStringLiteral("/help");
    if (QFileInfo(beside + QStringLiteral("/index.html")).isFile()) return beside;
    const QString shared = ShareFolder() + QStringLiteral("/help");
    if (QFileInfo(shared + QStringLiteral("/index.html")).isFile()) return shared;
    return beside;
}

}  // namespace glowdeck
