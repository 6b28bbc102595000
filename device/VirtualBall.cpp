// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/VirtualBall.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "device/Crc16.h"

namespace glowdeck {

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The byte stream with the arrival time of every byte.
struct Stream {
    std::vector<unsigned char> bytes;
    std::vector<Clock::time_point> times;
};

}  // namespace

CVirtualBall::CVirtualBall() = default;

CVirtualBall::~CVirtualBall() { Hangup(); }

bool CVirtualBall::Open(QString* error) {
    char name[256] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    devicePath_ = QString::fromLocal8Bit(name);
    return true;
}

void CVirtualBall::Hangup() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

BallReport CVirtualBall::Receive(double firstByteSeconds, double idleSeconds,
                                 const std::function<bool(int)>& onPacket) {
    BallReport report;
    Stream in;
    size_t pos = 0;  // parse position
    std::vector<Clock::time_point> blockStarts;
    bool initSeen = false, done = false;
    int expectedSequence = 1;
    bool shortSeen = false;

    auto fail = [&](const QString& why) {
        report.failure = QStringLiteral("at byte %1 of the stream: %2").arg(pos).arg(why);
        done = true;
    };
    auto need = [&](size_t n) { return in.bytes.size() >= pos + n; };

    // Parses whatever complete blocks have arrived.
    auto parse = [&] {
        while (!done) {
            if (!initSeen) {
                if (!need(3)) return;
                if (in.bytes[pos] != 0xA6 || in.bytes[pos + 1] != 0x55 || in.bytes[pos + 2] != 0xAA)
                    return fail(QStringLiteral("expected the init command A6 55 AA"));
                // A fourth byte 01 or 02 names the layer of a double-layer
                // ball; a single-layer init is followed only by the first packet.
                if (!need(4)) {
                    if (Ms(Clock::now() - in.times[pos + 2]) < 500) return;
                    report.ball = {1, 0};
                    blockStarts.push_back(in.times[pos]);
                    pos += 3;
                } else if (in.bytes[pos + 3] == 0x01 || in.bytes[pos + 3] == 0x02) {
                    report.ball = {2, in.bytes[pos + 3] == 0x02 ? 1 : 0};
                    blockStarts.push_back(in.times[pos]);
                    pos += 4;
                } else {
                    report.ball = {1, 0};
                    blockStarts.push_back(in.times[pos]);
                    pos += 3;
                }
                initSeen = true;
                continue;
            }
            if (!need(1)) return;
            if (in.bytes[pos] != 0xA3)
                return fail(QStringLiteral("expected a packet (A3), got %1")
                                .arg(in.bytes[pos], 2, 16, QLatin1Char('0')));
            if (!need(3)) return;
            const int sequence = in.bytes[pos + 1] | (in.bytes[pos + 2] << 8);
            if (sequence == 0xFFFF) {
                blockStarts.push_back(in.times[pos]);
                pos += 3;
                report.complete = true;
                done = true;
                return;
            }
            if (!need(4)) return;
            const int n = in.bytes[pos + 3];
            if (!need(static_cast<size_t>(n) + 6)) return;
            if (shortSeen) return fail(QStringLiteral("a packet after the short last packet"));
            if (sequence != expectedSequence)
                return fail(QStringLiteral("packet sequence %1, expected %2")
                                .arg(sequence)
                                .arg(expectedSequence));
            if (n == 0 || n > 249)
                return fail(
                    QStringLiteral("packet %1 declares %2 payload bytes").arg(sequence).arg(n));
            const std::uint16_t crc = Crc16(&in.bytes[pos], static_cast<std::uint8_t>(n + 4));
            const int sent = in.bytes[pos + 4 + n] | (in.bytes[pos + 5 + n] << 8);
            if (crc != sent)
                return fail(QStringLiteral("packet %1: CRC %2, computed %3")
                                .arg(sequence)
                                .arg(sent, 4, 16, QLatin1Char('0'))
                                .arg(crc, 4, 16, QLatin1Char('0')));
            if (report.packets == 0)
                report.initWaitSeconds = Ms(in.times[pos] - blockStarts.front()) / 1000.0;
            shortSeen = n < 249;
            blockStarts.push_back(in.times[pos]);
            report.data.append(reinterpret_cast<const char*>(&in.bytes[pos + 4]), n);
            ++report.packets;
            ++expectedSequence;
            pos += static_cast<size_t>(n) + 6;
            if (onPacket && !onPacket(report.packets)) {
                report.failure = QStringLiteral("stopped after packet %1").arg(report.packets);
                done = true;
                return;
            }
        }
    };

    auto lastByte = Clock::now();
    while (!done) {
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 50);
        const auto now = Clock::now();
        if (ready > 0 && (p.revents & POLLIN)) {
            unsigned char buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                for (ssize_t k = 0; k < n; ++k) {
                    in.bytes.push_back(buffer[k]);
                    in.times.push_back(now);
                }
                lastByte = now;
            }
        }
        parse();
        if (done) break;
        const double waited = Ms(now - lastByte) / 1000.0;
        const double limit = in.bytes.empty() ? firstByteSeconds : idleSeconds;
        if (limit >= 0 && waited > limit) {
            if (in.bytes.empty()) {
                report.failure = QStringLiteral("nothing arrived within %1 s").arg(limit);
            } else {
                fail(QStringLiteral("the transfer stopped after %1 packets (nothing for %2 s)")
                         .arg(report.packets)
                         .arg(limit));
            }
            break;
        }
    }

    // Pacing: blocks come at least 40 ms apart, and the data follow the init
    // command after the eight-second wait. Arrival times are when this end
    // read the bytes, so a late read can make one gap look short: the check
    // is on the mean gap and on how many gaps are short, not on a single one.
    if (blockStarts.size() >= 2) {
        report.shortestGapMs = 1e9;
        int shortGaps = 0, gaps = 0;
        for (size_t k = 2; k < blockStarts.size(); ++k) {
            const double gap = Ms(blockStarts[k] - blockStarts[k - 1]);
            report.shortestGapMs = std::min(report.shortestGapMs, gap);
            shortGaps += gap < 38 ? 1 : 0;
            ++gaps;
        }
        if (gaps > 0) {
            // One late read of up to 15 ms is forgiven over the whole span.
            const double span = Ms(blockStarts.back() - blockStarts[1]);
            if (span < 40.0 * gaps - 15)
                report.pacing << QStringLiteral("blocks came %1 ms apart on average (at least 40)")
                                     .arg(span / gaps, 0, 'f', 1);
            if (shortGaps > std::max(1, gaps / 10))
                report.pacing << QStringLiteral(
                                     "%1 of %2 blocks came less than 38 ms after the one before")
                                     .arg(shortGaps)
                                     .arg(gaps);
        }
        if (report.packets > 0 && report.initWaitSeconds < 8.0)
            report.pacing << QStringLiteral(
                                 "the first packet came %1 s after the init command (at least 8)")
                                 .arg(report.initWaitSeconds, 0, 'f', 2);
    }
    const bool ended = report.complete;  // the end command came
    if (report.complete && !report.pacing.isEmpty()) {
        report.complete = false;
        report.failure = QStringLiteral("pacing: ") + report.pacing.join(QStringLiteral("; "));
    }
    if (ended) StayUntilTheSenderCloses(std::chrono::seconds(2));
    return report;
}

void CVirtualBall::StayUntilTheSenderCloses(std::chrono::milliseconds longest) {
    // A ball stays on the line after the end command, while the sender waits
    // for its last block to leave and closes the port. Leaving at once would
    // hang up under it, and its last wait would fail as on a pulled cable.
    if (slave_ >= 0) ::close(slave_);  // from now on a hang-up means the sender closed
    slave_ = -1;
    const auto end = Clock::now() + longest;
    while (Clock::now() < end) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return;
        unsigned char buffer[256];
        if ((p.revents & POLLIN) && ::read(master_, buffer, sizeof buffer) <= 0) return;
    }
}

}  // namespace glowdeck
