// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/ColumnAppender.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>

#include "base/MessageSink.h"

namespace glowdeck {

QByteArray FitColumns(const PackedColumns& columns, const ColumnShape* fitTo) {
    const qint64 frameBytes = static_cast<qint64>(columns.width) * columns.columnBytes;
    QByteArray out;
    if (!fitTo) {
        out = QByteArray(reinterpret_cast<const char*>(columns.data),
                         static_cast<int>(frameBytes * columns.frames));
    } else {
        const QByteArray dark(columns.columnBytes, '\xFF');
        for (int f = 0; f < fitTo->frames; ++f) {
            const int kept = f < columns.frames ? std::min(columns.width, fitTo->width) : 0;
            out.append(reinterpret_cast<const char*>(columns.data) + f * frameBytes,
                       kept * columns.columnBytes);
            for (int x = kept; x < fitTo->width; ++x) out.append(dark);
        }
    }
    return out;
}

bool AppendColumns(const QString& dataFile, const PackedColumns& columns, IMessageSink* messages,
                   const ColumnShape* fitTo) {
    QFile file(dataFile);
    // Append only to a file that exists: ReadWrite without Truncate never
    // truncates, and we refuse to create it.
    // Unbuffered, so a failing write (full disk) reports here and not in a silent flush.
    if (!file.exists() || !file.open(QIODevice::ReadWrite | QIODevice::Unbuffered) ||
        !file.seek(file.size())) {
        if (messages)
            messages->Warn(QCoreApplication::translate("ColumnAppender", "数据文件未打开"));
        return false;
    }
    const QByteArray out = FitColumns(columns, fitTo);
    const bool written = file.write(out) == out.size();
    if (!written && messages)
        messages->Warn(QCoreApplication::translate("ColumnAppender", "数据文件写入失败：\n%1\n%2")
                           .arg(dataFile, file.errorString()));
    file.close();
    return written;
}

}  // namespace glowdeck
