#include "support/CliRunner.h"

#include <QProcess>

namespace glowdeck::test {

CliRun Cli(const QStringList& args, int timeoutMs) {
    QProcess process;
    process.start(QStringLiteral(GLOWDECK_CLI), args);
    process.waitForFinished(timeoutMs);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace glowdeck::test
