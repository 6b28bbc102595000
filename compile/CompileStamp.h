// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

#include "base/BallConfig.h"

namespace glowdeck {

class CProjectFile;

// What a compile with the column cache leaves in the cache folder beside the
// project's pack: the fingerprint of everything the compile read (the
// project file's bytes, the ball, and every item's source file by path,
// size, times and inode, as the cache finds its entries) and the data.bin it
// wrote (size, time, inode). A compile whose inputs and data.bin are still
// exactly those has nothing to do: data.bin is what it would write again,
// and the command-line tool answers it without loading the converters.
// Anything different, a stamp missing or damaged, is simply a compile.
struct CompileStamp {
    QByteArray fingerprint;
    int groups = 0;
    int items = 0;
    std::uint32_t columns = 0;
    std::uint32_t bytes = 0;

    // "<cache folder>/<project's pack name>.done".
    static QString PathFor(const QString& cacheFolder, const QString& projectFolder);
    // Empty when an item's id is no plain file name.
    static QByteArray Fingerprint(const CProjectFile& file, const QByteArray& projectBytes,
                                  const QString& imagesFolder, const BallConfig& ball);
    // Written after a compile that wrote `dataFile`; false when it cannot be.
    bool Write(const QString& path, const QString& dataFile) const;
    // The stamp at `path` when it holds `fingerprint` and `dataFile` is the
    // file it names.
    static std::optional<CompileStamp> Read(const QString& path, const QByteArray& fingerprint,
                                            const QString& dataFile);
};

}  // namespace glowdeck
