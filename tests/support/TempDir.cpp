// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace glowdeck::test {

TempDir::TempDir() : dir_(QDir::tempPath() + QStringLiteral("/glowdeck-test-XXXXXX")) {}

QString TempDir::Write(const QString& name, const QByteArray& bytes) const {
    const QString path = File(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

}  // namespace glowdeck::test
