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

}  // namespace glowdeck::test
