// SPDX-License-Identifier: GPL-3.0-or-later
#include "led/SourceLimits.h"

#include <QFileInfo>

#include "led/LedOrder.h"
#include "led/PictureConverter.h"

namespace glowdeck {

QString LedWidthProblem(const QSize& source) {
    const int width = LedWidthFor(source);
    if (width <= MaxLedColumns) return QString();
    return QStringLiteral(
               "%1 x %2 pixels would be %3 LED columns wide, more than the %4 an item can hold")
        .arg(source.width())
        .arg(source.height())
        .arg(width)
        .arg(MaxLedColumns);
}

QImage DarkLedColumn() {
    QImage column(1, LedRows, QImage::Format_RGB32);
    column.fill(Qt::black);
    return column;
}

QString SourceLoadMessage(int group, int item, const QString& path, const QString& reason) {
    // A FIFO or a device in its place is no lost file: the reason names it.
    if (!QFileInfo::exists(path))
        return QStringLiteral("Lose Group%1 item%2 image file!").arg(group).arg(item);
    return QStringLiteral("Cannot decode Group%1 item%2 image file: %3")
        .arg(group)
        .arg(item)
        .arg(reason.isEmpty() ? QStringLiteral("unreadable image data") : reason);
}

}  // namespace glowdeck
