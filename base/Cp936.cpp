// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Cp936.h"

#include <iconv.h>

#include <QList>
#include <cerrno>

namespace glowdeck {

namespace {

// One iconv conversion of a whole buffer; `onInvalid` is appended in place of
// each input unit the converter rejects, and `unitSize` input bytes skipped.
QByteArray Convert(const char* to, const char* from, const QByteArray& input,
                   const QByteArray& onInvalid, size_t unitSize) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    QByteArray out;
    out.reserve(input.size() * 2 + 8);
    char buffer[1024];
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<int>(outPtr - buffer));
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (truncated sequence at the end): replace one unit.
        out.append(onInvalid);
        size_t skip = unitSize < inLeft ? unitSize : inLeft;
        in += skip;
        inLeft -= skip;
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<int>(outPtr - buffer));
    iconv_close(cd);
    return out;
}

}  // namespace

QByteArray ToCp936(const QString& text) {
    // UTF-32 input lets us skip exactly one character on failure.
    QByteArray ucs4;
    const auto codePoints = text.toUcs4();
    ucs4.resize(codePoints.size() * 4);
    for (int i = 0; i < codePoints.size(); ++i) {
        const char32_t c = codePoints[i];
        ucs4[i * 4 + 0] = char(c & 0xFF);
        ucs4[i * 4 + 1] = char((c >> 8) & 0xFF);
        ucs4[i * 4 + 2] = char((c >> 16) & 0xFF);
        ucs4[i * 4 + 3] = char((c >> 24) & 0xFF);
    }
    return Convert("CP936", "UTF-32LE", ucs4, QByteArray("?"), 4);
}

QString FromCp936(const QByteArray& bytes) {
    return QString::fromUtf8(Convert("UTF-8", "CP936", bytes, QByteArray("\xEF\xBF\xBD"), 1));
}

int Cp936PrefixLength(const QByteArray& bytes, int limit) {
    if (limit >= bytes.size()) return static_cast<int>(bytes.size());
    int i = 0;
    while (i < limit) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        const int width = (c >= 0x81 && c <= 0xFE) ? 2 : 1;
        if (i + width > limit) break;
        i += width;
    }
    return i;
}

}  // namespace glowdeck
