// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/SourceFile.h"

#include <unistd.h>

#include "base/RegularFile.h"

namespace glowdeck {

bool CSourceFile::Open(const QString& path, QString* reason) {
    file_.close();
    CRegularFile checked;
    if (!checked.Open(path, MaxSourceFileBytes, reason)) return false;
    const int fd = checked.Release();
    if (!file_.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (reason) *reason = file_.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

}  // namespace glowdeck
