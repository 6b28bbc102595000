// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CliRunner.h"

#include <sys/resource.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>

namespace glowdeck::test {

CliRun Cli(const QStringList& args, int timeoutMs) { return Cli(args, CliSetup{}, timeoutMs); }

CliRun Cli(const QStringList& args, const CliSetup& setup, int timeoutMs) {
    QProcess process;
    if (!setup.environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : setup.environment) {
            const int eq = entry.indexOf(QLatin1Char('='));
            env.insert(entry.left(eq), entry.mid(eq + 1));
        }
        process.setProcessEnvironment(env);
    }
    if (setup.fileSizeLimit >= 0) {
        const rlim_t limit = static_cast<rlim_t>(setup.fileSizeLimit);
        process.setChildProcessModifier([limit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit r{limit, limit};
            setrlimit(RLIMIT_FSIZE, &r);
        });
    }
    process.start(QStringLiteral(GLOWDECK_CLI), args);
    process.waitForFinished(timeoutMs);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace glowdeck::test
