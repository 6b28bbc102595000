// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/IniFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "base/AtomicFile.h"
#include "base/Cp936.h"
#include "base/IntText.h"
#include "base/RegularFile.h"

namespace glowdeck {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray TrimBlanks(const QByteArray& s) {
    int b = 0, e = static_cast<int>(s.size());
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.mid(b, e - b);
}

// "[name]" → name; empty QByteArray (null) when the line is not a section header.
QByteArray SectionName(const QByteArray& line) {
    const QByteArray t = TrimBlanks(line);
    if (!t.startsWith('[')) return {};
    const int close = static_cast<int>(t.indexOf(']'));
    if (close < 0) return {};
    QByteArray name = TrimBlanks(t.mid(1, close - 1));
    if (name.isNull()) name = QByteArray("");
    return name;
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return qstricmp(a.constData(), b.constData()) == 0;
}

}  // namespace

CIniFile::CIniFile(QString path) : path_(std::move(path)) { Reload(); }

void CIniFile::Reload() {
    lines_.clear();
    crlf_ = false;
    loadError_.clear();
    QString why;
    const std::optional<QByteArray> read = ReadWholeFile(path_, MaxFileBytes, &why);
    if (!read) {
        if (QFileInfo::exists(path_)) loadError_ = why;
        return;
    }
    const QByteArray& data = *read;
    crlf_ = data.contains("\r\n");
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        lines_.append(line);
    }
    if (!lines_.isEmpty() && lines_.last().isEmpty()) lines_.removeLast();
}

QString CIniFile::UnreadableMessage() const {
    if (loadError_.isEmpty()) return QString();
    return QCoreApplication::translate("IniFile", "设置文件无法读取，现用默认设置：\n%1\n%2")
        .arg(path_, loadError_);
}

int CIniFile::FindSection(const QByteArray& section) const {
    for (int i = 0; i < lines_.size(); ++i) {
        const QByteArray name = SectionName(lines_[i]);
        if (!name.isNull() && SameName(name, section)) return i;
    }
    return -1;
}

int CIniFile::SectionEnd(int sectionLine) const {
    int end = sectionLine + 1;
    for (int i = sectionLine + 1; i < lines_.size(); ++i) {
        if (!SectionName(lines_[i]).isNull()) break;
        if (!TrimBlanks(lines_[i]).isEmpty()) end = i + 1;
    }
    return end;
}

int CIniFile::FindKey(int sectionLine, const QByteArray& key) const {
    for (int i = sectionLine + 1; i < lines_.size(); ++i) {
        const QByteArray& line = lines_[i];
        if (!SectionName(line).isNull()) break;
        const int eq = static_cast<int>(line.indexOf('='));
        if (eq < 0) continue;
        if (SameName(TrimBlanks(line.left(eq)), key)) return i;
    }
    return -1;
}

QString CIniFile::GetString(const QString& section, const QString& key,
                            const QString& fallback) const {
    const int s = FindSection(ToCp936(section));
    if (s < 0) return fallback;
    const int k = FindKey(s, ToCp936(key));
    if (k < 0) return fallback;
    const QByteArray& line = lines_[k];
    QByteArray value = TrimBlanks(line.mid(line.indexOf('=') + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    value.truncate(Cp936PrefixLength(value, MaxValueBytes));
    return FromCp936(value);
}

int CIniFile::GetInt(const QString& section, const QString& key, int fallback) const {
    const int s = FindSection(ToCp936(section));
    if (s < 0 || FindKey(s, ToCp936(key)) < 0) return fallback;
    return ParseCInt(GetString(section, key, QString()));
}

bool CIniFile::SetString(const QString& section, const QString& key, const QString& value,
                         QString* error) {
    if (!loadError_.isEmpty()) {
        if (error) *error = QStringLiteral("%1: %2; left as it is").arg(path_, loadError_);
        return false;
    }
    const QByteArray sectionBytes = ToCp936(section);
    const QByteArray keyBytes = ToCp936(key);
    const QByteArray line = keyBytes + '=' + ToCp936(value);
    int s = FindSection(sectionBytes);
    if (s < 0) {
        lines_.append('[' + sectionBytes + ']');
        lines_.append(line);
    } else {
        const int k = FindKey(s, keyBytes);
        if (k >= 0)
            lines_[k] = line;
        else
            lines_.insert(SectionEnd(s), line);
    }

    const QByteArray eol = crlf_ ? QByteArray("\r\n") : QByteArray("\n");
    QByteArray data;
    for (const QByteArray& l : lines_) data += l + eol;
    return WriteFileAtomically(path_, data, error);
}

int StoredBallType(const CIniFile& ini) {
    const int type = ini.GetInt(QStringLiteral("TYPE"), QStringLiteral("TYPE"), 0);
    return type == 1 || type == 2 ? type : 0;
}

}  // namespace glowdeck
