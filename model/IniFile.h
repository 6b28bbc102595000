// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

namespace glowdeck {

// A private-profile settings file ("[section]" lines, "key=value" lines) in
// code page 936. Reads behave like the classic profile API: section and key
// names match without regard to ASCII case, blanks around keys and values are
// dropped, a value in matching quotes loses them, and a value is cut at
// MaxValueBytes bytes. CRLF and LF line ends read the same.
class CIniFile {
public:
    static constexpr int MaxValueBytes = 259;
    // No settings file is larger: a bigger one is refused unread.
    static constexpr qint64 MaxFileBytes = 1 << 20;

    explicit CIniFile(QString path);

    const QString& Path() const { return path_; }

    // Reads the file again from disk; a missing or unreadable file reads as
    // empty. A FIFO, a device or a file over MaxFileBytes is not read at all.
    void Reload();
    // Why a file that exists could not be read (not a regular file, too
    // large, no permission); empty when it was read or is missing. Its values
    // then take their defaults, and SetString leaves the file alone.
    const QString& LoadError() const { return loadError_; }
    // What the programs say about such a file: its path, the reason, and that
    // the defaults are used. Empty when the file was read or is missing.
    QString UnreadableMessage() const;

    QString GetString(const QString& section, const QString& key, const QString& fallback) const;
    // The value read by the C-library rule; `fallback` when the key is missing.
    int GetInt(const QString& section, const QString& key, int fallback) const;

    // Sets one value and writes the whole file at once (atomically). Other
    // lines, their order and the file's line-end style are kept. A file that
    // exists but could not be read is not replaced (false): its other
    // settings would be lost.
    [[nodiscard]] bool SetString(const QString& section, const QString& key, const QString& value,
                                 QString* error = nullptr);

private:
    int FindSection(const QByteArray& section) const;           // line index or -1
    int FindKey(int sectionLine, const QByteArray& key) const;  // line index or -1
    int SectionEnd(int sectionLine) const;  // index after the last line of the section's body

    QString path_;
    QList<QByteArray> lines_;  // without line ends
    bool crlf_ = false;
    QString loadError_;
};

// The ball type stored in setting.ini ("[TYPE] TYPE="): 1 (single-layer) or
// 2 (double-layer). Any other value counts as none stored: 0.
int StoredBallType(const CIniFile& ini);

}  // namespace glowdeck
