// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/VideoBuilder.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "support/TempDir.h"

namespace glowdeck::test {

namespace {

// Runs ffmpeg with `args` and then `path`; `path`, or empty with a test failure.
QString RunFfmpeg(const QStringList& args, const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (tool.isEmpty()) {
        ADD_FAILURE() << "ffmpeg is missing: install the package ffmpeg";
        return QString();
    }
    QProcess run;
    run.start(tool, QStringList{"-nostdin", "-v", "error", "-y"} + args + QStringList{path});
    if (!run.waitForFinished(120000) || run.exitCode() != 0) {
        ADD_FAILURE() << "ffmpeg failed: " << run.readAllStandardError().toStdString();
        return QString();
    }
    return path;
}

}  // namespace

QString WriteClip(const TempDir& dir, const QString& name, const QString& source,
                  const QStringList& encode) {
    return RunFfmpeg(QStringList{"-f", "lavfi", "-i", source} + encode, dir.File(name));
}

QString WriteTurnedClip(const TempDir& dir, const QString& name, const QString& clip, int degrees) {
    // Stream copy keeps the pictures and writes the turn into the stream's display matrix.
    return RunFfmpeg(
        {"-i", clip, "-c", "copy", "-metadata:s:v:0", QStringLiteral("rotate=%1").arg(degrees)},
        dir.File(name));
}

QString WriteGreyRamp(const TempDir& dir, const QString& name, int frames, int rate,
                      const QStringList& encode) {
    return WriteClip(
        dir, name,
        QStringLiteral("color=c=black:s=32x16:r=%1,format=gray,geq=lum='mod(20*N,256)'").arg(rate) +
            QStringLiteral(",trim=end_frame=%1").arg(frames),
        encode.isEmpty() ? QStringList{"-c:v", "libx264", "-pix_fmt", "yuv420p"} : encode);
}

}  // namespace glowdeck::test
