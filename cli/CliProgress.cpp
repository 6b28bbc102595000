// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliProgress.h"

#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace glowdeck {

namespace {

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Extrapolating from the first moments says little: no estimate before 1 %
// and half a second.
constexpr double kFirstEstimateSeconds = 0.5;

}  // namespace

CliProgress::CliProgress(QString label, bool terminal, std::FILE* out, Clock clock)
    : label_(std::move(label)),
      terminal_(terminal),
      out_(out),
      clock_(clock ? std::move(clock) : SteadySeconds) {
    start_ = clock_();
}

bool CliProgress::StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

QString CliProgress::Duration(double seconds) {
    const long long s = std::max(0LL, std::llround(seconds));
    if (s >= 3600) return QString::asprintf("%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return QString::asprintf("%lld:%02lld", s / 60, s % 60);
}

QString CliProgress::BarLine(const QString& label, int percent, double secondsLeft, int barWidth) {
    percent = std::clamp(percent, 0, 100);
    const int filled = barWidth * percent / 100;
    QString line = label + QStringLiteral(" [") + QString(filled, QLatin1Char('#')) +
                   QString(barWidth - filled, QLatin1Char('-')) + QStringLiteral("] ") +
                   QStringLiteral("%1 %").arg(percent, 3);
    line +=
        secondsLeft < 0
            ? QStringLiteral("   ...   ")
            : QCoreApplication::translate("CliProgress", "  %1 left").arg(Duration(secondsLeft));
    return line;
}

void CliProgress::Update(long long done, long long total) {
    const std::lock_guard<std::mutex> hold(lock_);
    const double fraction =
        total > 0 ? std::clamp(static_cast<double>(done) / total, 0.0, 1.0) : 1.0;
    const int percent = static_cast<int>(fraction * 100);
    if (!terminal_) {
        const int step = percent / 10 * 10;
        if (step == lastPercent_) return;
        lastPercent_ = step;
        std::fprintf(out_, "%s: %d %%\n", label_.toUtf8().constData(), step);
        std::fflush(out_);
        return;
    }
    const double elapsed = clock_() - start_;
    double left = -1;
    if (fraction >= 1.0)
        left = 0;
    else if (percent >= 1 && elapsed >= kFirstEstimateSeconds)
        left = elapsed * (1.0 - fraction) / fraction;
    const QString line = BarLine(label_, percent, left);
    if (line == lastLine_) return;
    lastLine_ = line;
    // Back to the line's start; ESC [K clears what a longer line left behind.
    std::fprintf(out_, "\r%s\x1b[K", line.toUtf8().constData());
    std::fflush(out_);
    drawn_ = true;
}

void CliProgress::Finish() {
    const std::lock_guard<std::mutex> hold(lock_);
    if (terminal_ && drawn_) {
        std::fputc('\n', out_);
        std::fflush(out_);
        drawn_ = false;
    }
}

}  // namespace glowdeck
