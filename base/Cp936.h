// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

namespace glowdeck {

// Conversion between the program's texts and code page 936 bytes, used where
// bytes matter (setting.ini, label widths, byte comparisons).
// Bytes that are not valid code page 936 decode to U+FFFD; characters that
// code page 936 cannot represent encode as '?'.
QByteArray ToCp936(const QString& text);
QString FromCp936(const QByteArray& bytes);

// Length of the longest prefix of `bytes` of at most `limit` bytes that does
// not end inside a double-byte character.
int Cp936PrefixLength(const QByteArray& bytes, int limit);

}  // namespace glowdeck
