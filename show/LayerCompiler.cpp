// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/LayerCompiler.h"

#include "base/MessageSink.h"
#include "base/RegularFile.h"
#include "compile/ColumnCache.h"
#include "compile/ProjectCompiler.h"
#include "model/GlowdeckDoc.h"

namespace glowdeck {

namespace {

// Keeps the compile's first message for the window's status line instead
// of showing it: nobody asked for this compile. Questions get the cautious
// answer.
class FirstMessageSink : public IMessageSink {
public:
    Answer Show(const QString& text, const QString&, Icon, Buttons buttons) override {
        if (first.isEmpty()) first = text;
        return buttons == Buttons::YesNo      ? Answer::No
               : buttons == Buttons::OkCancel ? Answer::Cancel
                                              : Answer::Ok;
    }
    QString first;
};

}  // namespace

struct CLayerCompiler::Run {
    FirstMessageSink messages;
    std::unique_ptr<CGlowdeckDoc> snapshot;
    BallConfig ball;
    QString target;
};

CLayerCompiler::CLayerCompiler(QObject* parent) : QObject(parent) {}

CLayerCompiler::~CLayerCompiler() {
    waiting_.reset();
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void CLayerCompiler::Start(const CGlowdeckDoc& doc, const BallConfig& ball, const QString& target) {
    auto run = std::make_unique<Run>();
    run->snapshot = doc.CompileSnapshot(run->messages);
    run->snapshot->SetDataFilePath(target);
    run->ball = ball;
    run->target = target;
    if (current_) {
        // The running compile is of an older project or another layer.
        cancel_ = true;
        waiting_ = std::move(run);
        ball_ = ball;
        return;
    }
    Launch(std::move(run));
}

void CLayerCompiler::Cancel() {
    waiting_.reset();
    if (current_) cancel_ = true;
}

void CLayerCompiler::Launch(std::unique_ptr<Run> run) {
    if (worker_.joinable()) worker_.join();
    cancel_ = false;
    ball_ = run->ball;
    current_ = std::move(run);
    worker_ = std::thread([this, run = current_.get()] {
        CProjectCompiler compiler(*run->snapshot, run->messages);
        compiler.SetCacheFolder(CColumnCache::DefaultFolder());
        compiler.SetCancelFlag(&cancel_);
        std::optional<CShow> show;
        QString problem;
        if (compiler.Compile(run->ball)) {
            if (const std::optional<QByteArray> bytes =
                    ReadWholeFile(run->target, 64 << 20, &problem))
                show = CShow::Read(*bytes, run->ball, &problem);
        } else {
            problem = run->messages.first;
        }
        const bool cancelled = compiler.WasCancelled() || cancel_.load();
        // The owner outlives the worker: its destructor joins it, and a call
        // still queued then is dropped with the object.
        QMetaObject::invokeMethod(
            this, [this, show, problem, cancelled] { Finish(show, problem, cancelled); },
            Qt::QueuedConnection);
    });
}

void CLayerCompiler::Finish(std::optional<CShow> show, const QString& problem, bool cancelled) {
    if (worker_.joinable()) worker_.join();
    current_.reset();
    if (waiting_) {
        Launch(std::move(waiting_));
        return;
    }
    if (cancelled) return;
    result_ = std::move(show);
    problem_ = result_ ? QString() : problem;
    emit finished(result_.has_value());
}

}  // namespace glowdeck
