// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <cstdio>
#include <functional>
#include <mutex>

namespace glowdeck {

// The progress of a long command on stderr. On a terminal one line redrawn
// in place, with the time left extrapolated from the time so far:
//   compile [##############----------------]  47 %  0:12 left
// Anywhere else (a log file, a pipe) a plain line at every 10 %, since
// carriage returns would pile up there:
//   compile: 40 %
// Update and Finish may be called from different threads (a send's worker).
class CliProgress {
public:
    using Clock = std::function<double()>;  // seconds since some fixed moment

    // `terminal`: draw the bar (else plain lines). The clock is a parameter
    // so that tests need not wait.
    CliProgress(QString label, bool terminal, std::FILE* out = stderr, Clock clock = {});
    // Whether stderr is a terminal.
    static bool StderrIsTerminal();

    // `done` of `total` units; total 0 counts as nothing to do.
    void Update(long long done, long long total);
    // Ends the bar's line (a terminal), so later output starts on a new line.
    void Finish();

    // The bar line for `percent` and the seconds left (negative: not known yet).
    static QString BarLine(const QString& label, int percent, double secondsLeft,
                           int barWidth = 30);
    // "0:07", "1:30", "1:02:03".
    static QString Duration(double seconds);

private:
    std::mutex lock_;
    QString label_;
    bool terminal_;
    std::FILE* out_;
    Clock clock_;
    double start_;
    int lastPercent_ = -1;
    QString lastLine_;
    bool drawn_ = false;
};

}  // namespace glowdeck
