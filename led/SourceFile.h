// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFile>
#include <QString>

namespace glowdeck {

// No picture or animation the ball can show comes from a larger file.
constexpr qint64 MaxSourceFileBytes = 512LL << 20;

// An image source opened for a decoder. What is opened is checked before the
// decoder sees it: a FIFO (on which Qt's image reader would block), a device,
// a folder or a file over MaxSourceFileBytes is refused, and the reason names
// what it is ("no such file" when it is missing). The decoder reads the very
// file that was checked, even when the name is replaced meanwhile.
class CSourceFile {
public:
    bool Open(const QString& path, QString* reason);
    // The opened file, for QImageReader; closed until Open succeeds.
    QIODevice* Device() { return &file_; }

private:
    QFile file_;
};

}  // namespace glowdeck
