// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/PreviewWorker.h"

#include <QFile>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <mutex>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace glowdeck {

// One job's cancel flag; the worker's current job is the one it holds.
struct CPreviewWorker::Ticket {
    std::atomic<bool> cancelled{false};
};

// Where a job's updates go: the worker while it exists. A job posts under
// the lock, so the worker cannot be destroyed while a call to it is posted;
// calls posted earlier die with it.
struct CPreviewWorker::Mailbox {
    std::mutex mutex;
    CPreviewWorker* owner = nullptr;

    template <class Call>
    void Post(Call call) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!owner) return;
        CPreviewWorker* worker = owner;
        QMetaObject::invokeMethod(
            worker, [worker, call = std::move(call)] { call(worker); }, Qt::QueuedConnection);
    }
};

namespace {

// Shared by every editor; its threads are waited for when the program ends.
QThreadPool& Pool() {
    static QThreadPool pool;
    static const bool sized = [] {
        pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        return true;
    }();
    (void)sized;
    return pool;
}

// A preview thread runs at a lower priority than the GUI thread (a nice
// value of 10 for this thread alone), so that on a busy machine the window's
// events come first and the conversion takes what is left.
void YieldToTheGuiThread() {
#ifdef __linux__
    static thread_local bool done = false;
    if (done) return;
    done = true;
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
}

}  // namespace

CPreviewWorker::CPreviewWorker(QObject* parent)
    : QObject(parent), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->owner = this;
}

CPreviewWorker::~CPreviewWorker() {
    Cancel();
    std::lock_guard<std::mutex> lock(mailbox_->mutex);
    mailbox_->owner = nullptr;
}

void CPreviewWorker::Cancel() {
    if (!current_) return;
    current_->cancelled = true;
    current_.reset();
}

void CPreviewWorker::Start(Job job) {
    Cancel();
    auto ticket = std::make_shared<Ticket>();
    current_ = ticket;
    Pool().start([ticket, mailbox = mailbox_, job = std::move(job)] {
        YieldToTheGuiThread();
        int last = -1;
        const Progress progress = [&](int percent) {
            if (percent == last || ticket->cancelled) return;
            last = percent;
            mailbox->Post([ticket, percent](CPreviewWorker* worker) {
                if (worker->current_ == ticket) emit worker->Progressed(percent);
            });
        };
        Apply apply;
        if (!ticket->cancelled) apply = job(ticket->cancelled, progress);
        // A cancelled job's result is dropped here, on its own thread.
        if (ticket->cancelled) return;
        mailbox->Post([ticket, apply = std::move(apply)](CPreviewWorker* worker) {
            worker->Step(ticket, apply);
        });
    });
}

void CPreviewWorker::Step(const std::shared_ptr<Ticket>& ticket, const Apply& apply) {
    if (current_ != ticket || ticket->cancelled) return;
    next_ = Apply();
    if (apply) apply();
    // The step may have started a newer job, which is the current one now.
    if (current_ != ticket) return;
    if (next_) {
        // A zero timer rather than a posted call: the events and timers that
        // are waiting run before the next step.
        auto* turn = new QTimer(this);
        turn->setSingleShot(true);
        connect(turn, &QTimer::timeout, this, [this, turn, ticket, next = std::move(next_)] {
            turn->deleteLater();
            Step(ticket, next);
        });
        next_ = Apply();
        turn->start(0);
        return;
    }
    current_.reset();
    emit Finished();
}

void CPreviewWorker::Then(Apply next) { next_ = std::move(next); }

void CPreviewWorker::WaitForIdle() { Pool().waitForDone(); }

CPreparedFile::~CPreparedFile() {
    if (!kept_ && !path_.isEmpty()) QFile::remove(path_);
}

}  // namespace glowdeck
