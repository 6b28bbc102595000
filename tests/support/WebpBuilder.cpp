// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WebpBuilder.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "support/TempDir.h"

namespace glowdeck::test {

QString WriteAnimatedWebp(const TempDir& dir, const QString& name,
                          const std::vector<QImage>& frames, const std::vector<int>& delaysMs) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("img2webp"));
    if (tool.isEmpty()) {
        ADD_FAILURE() << "img2webp is missing: install the package webp";
        return QString();
    }
    QStringList args{QStringLiteral("-loop"), QStringLiteral("0")};
    for (size_t k = 0; k < frames.size(); ++k) {
        const QString frame = dir.File(QStringLiteral("%1.%2.png").arg(name).arg(k));
        if (!frames[k].save(frame, "PNG")) {
            ADD_FAILURE() << "cannot write " << frame.toStdString();
            return QString();
        }
        args << QStringLiteral("-lossless") << QStringLiteral("-d") << QString::number(delaysMs[k])
             << frame;
    }
    const QString path = dir.File(name);
    args << QStringLiteral("-o") << path;
    QProcess run;
    run.start(tool, args);
    if (!run.waitForFinished(60000) || run.exitCode() != 0) {
        ADD_FAILURE() << "img2webp failed: " << run.readAllStandardError().toStdString();
        return QString();
    }
    return path;
}

std::vector<QImage> GreyFrames(int count, QSize size, int first, int step) {
    std::vector<QImage> frames;
    for (int k = 0; k < count; ++k) {
        QImage image(size, QImage::Format_RGB32);
        const int level = first + k * step;
        image.fill(qRgb(level, level, level));
        frames.push_back(image);
    }
    return frames;
}

}  // namespace glowdeck::test
