// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "support/QtPrinters.h"

namespace glowdeck::test {

// A fresh folder removed after the test; paths end without '/'.
class TempDir {
public:
    TempDir();
    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }
    // Writes bytes to a file in the folder and returns its path.
    QString Write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir dir_;
};

QByteArray ReadAll(const QString& path);

}  // namespace glowdeck::test
