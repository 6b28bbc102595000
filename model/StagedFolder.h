// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace glowdeck {

// A folder built under a hidden temporary name beside its final path and put
// in place in one rename, so that a half-built folder never stands under the
// final name. Until Commit succeeds the final path is untouched, and the
// destructor removes the temporary folder with everything made in it.
class CStagedFolder {
public:
    explicit CStagedFolder(QString target);
    ~CStagedFolder();  // removes an uncommitted temporary folder
    CStagedFolder(const CStagedFolder&) = delete;
    CStagedFolder& operator=(const CStagedFolder&) = delete;

    // Makes the temporary folder (".glowdeck-new-<pid>-<random>" beside the
    // target). False with the system's error number in `error`.
    bool Create(int* error);
    // Renames the temporary folder to the target, refusing to replace
    // anything standing there (then `error` is EEXIST), and syncs the parent
    // folder so the rename survives a power cut.
    bool Commit(int* error);

    const QString& Target() const { return target_; }
    // The temporary folder while it exists, without a trailing separator.
    const QString& TemporaryPath() const { return temporary_; }

private:
    QString target_;
    QString temporary_;
};

}  // namespace glowdeck
