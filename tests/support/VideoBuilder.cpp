#include "support/VideoBuilder.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "support/TempDir.h"

namespace glowdeck::test {

QString WriteClip(const TempDir& dir, const QString& name, const QString& source,
                  const QStringList& encode) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (tool.isEmpty()) {
        ADD_FAILURE() << "ffmpeg is missing: install the package ffmpeg";
        return QString();
    }
    const QString path = dir.File(name);
    QProcess run;
    run.start(tool, QStringList{"-v", "error", "-y", "-f", "lavfi", "-i", source} + encode +
                        QStringList{path});
    if (!run.waitForFinished(120000) || run.exitCode() != 0) {
        ADD_FAILURE() << "ffmpeg failed: " << run.readAllStandardError().toStdString();
        return QString();
    }
    return path;
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
