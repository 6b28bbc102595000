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

    explicit CIniFile(QString path);

    const QString& Path() const { return path_; }

    // Reads the file again from disk; a missing or unreadable file reads as empty.
    void Reload();

    QString GetString(const QString& section, const QString& key, const QString& fallback) const;
    // The value read by the C-library rule; `fallback` when the key is missing.
    int GetInt(const QString& section, const QString& key, int fallback) const;

    // Sets one value and writes the whole file at once (atomically). Other
    // lines, their order and the file's line-end style are kept.
    [[nodiscard]] bool SetString(const QString& section, const QString& key, const QString& value,
                                 QString* error = nullptr);

private:
    int FindSection(const QByteArray& section) const;           // line index or -1
    int FindKey(int sectionLine, const QByteArray& key) const;  // line index or -1
    int SectionEnd(int sectionLine) const;  // index after the last line of the section's body

    QString path_;
    QList<QByteArray> lines_;  // without line ends
    bool crlf_ = false;
};

}  // namespace glowdeck
