// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "base/BallConfig.h"
#include "show/Show.h"

namespace glowdeck {

class CGlowdeckDoc;

// Compiles a project for one ball and layer into a file of its own, for the
// show of a layer that data.bin does not hold. Runs on a worker thread over
// a copy of the project taken when it starts, so the project's data.bin and
// Index.prj are never written. A start while a compile runs cancels that one
// and runs the new one after it: `finished` comes (on the owner's thread)
// for the last start only, and not for a cancelled one.
class CLayerCompiler : public QObject {
    Q_OBJECT
public:
    explicit CLayerCompiler(QObject* parent = nullptr);
    ~CLayerCompiler() override;  // cancels and waits for the worker

    // Compiles `doc` as it is now for `ball` into `target`.
    void Start(const CGlowdeckDoc& doc, const BallConfig& ball, const QString& target);
    // Stops the running compile (without waiting for it) and drops a
    // waiting one; no `finished` follows.
    void Cancel();
    bool Running() const { return static_cast<bool>(current_); }
    // The ball and layer of the running compile, else of the last one.
    const BallConfig& Ball() const { return ball_; }

    // The show read from the compiled file, after a `finished(true)`.
    std::optional<CShow>& Result() { return result_; }
    // Why the last compile failed: its first message.
    const QString& Problem() const { return problem_; }

signals:
    void finished(bool ok);

private:
    struct Run;
    void Launch(std::unique_ptr<Run> run);
    void Finish(std::optional<CShow> show, const QString& problem, bool cancelled);

    std::unique_ptr<Run> current_, waiting_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    BallConfig ball_;
    std::optional<CShow> result_;
    QString problem_;
};

}  // namespace glowdeck
