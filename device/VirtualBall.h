// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>

#include "base/BallConfig.h"

namespace glowdeck {

// What a ball would have received from one transfer.
struct BallReport {
    bool complete = false;  // init, every packet and the end command, in order and paced
    QString failure;        // where the stream went wrong, when not complete
    BallConfig ball;        // from the init command
    QByteArray data;        // the payloads, in order
    int packets = 0;
    double initWaitSeconds = 0;  // init command to first packet
    double shortestGapMs = 0;    // between the starts of two blocks
    QStringList pacing;          // pacing faults
};

// A pseudo-terminal that stands in for the ball: it receives one transfer
// and checks the init command, sequence numbers, lengths, CRCs, the end
// command and the pauses between blocks.
class CVirtualBall {
public:
    CVirtualBall();
    ~CVirtualBall();
    CVirtualBall(const CVirtualBall&) = delete;
    CVirtualBall& operator=(const CVirtualBall&) = delete;

    // Opens the pseudo-terminal; the device path the sender opens.
    bool Open(QString* error);
    const QString& DevicePath() const { return devicePath_; }

    // Receives until the end command, a fault in the stream, or `idleSeconds`
    // without a byte once the transfer began (`firstByteSeconds` before it;
    // negative waits for ever). `onPacket` is told of each packet and may
    // return false to stop receiving.
    BallReport Receive(double firstByteSeconds, double idleSeconds,
                       const std::function<bool(int packet)>& onPacket = {});

    // Ends the pseudo-terminal, as a pulled cable would: the sender's next
    // write fails.
    void Hangup();

private:
    // Keeps this end of the line open after a transfer until the sender has
    // closed its end, or for `longest`.
    void StayUntilTheSenderCloses(std::chrono::milliseconds longest);

    int master_ = -1;
    int slave_ = -1;  // kept open so the line stays up between the sender's opens
    QString devicePath_;
};

}  // namespace glowdeck
