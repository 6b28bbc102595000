// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

namespace glowdeck::test {

// One run of glowdeck-cli: exit code (-1 when it crashed), stdout, stderr.
struct CliRun {
    int code;
    QString out, err;
};
CliRun Cli(const QStringList& args, int timeoutMs = 120000);

// How a run's process is set up.
struct CliSetup {
    // Largest file the process may write (RLIMIT_FSIZE, SIGXFSZ ignored):
    // writes past it fail with EFBIG as on a full disk. Negative: no limit.
    long long fileSizeLimit = -1;
    QStringList environment;  // extra "NAME=value" entries
};
CliRun Cli(const QStringList& args, const CliSetup& setup, int timeoutMs = 120000);

}  // namespace glowdeck::test
