// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

namespace glowdeck {

// Runs an editor's preview conversions off the GUI thread. A job runs on a
// pool thread with a cancel flag, which it checks between its steps, and a
// progress callback; it returns what the editor does with its result, which
// runs later on the GUI thread as a queued call. Only the latest job counts:
// starting a job, Cancel() or destroying the worker (the editor closing)
// cancels the one running, and a cancelled job's result is dropped, never
// shown. Progress and results reach the editor only while it exists.
class CPreviewWorker : public QObject {
    Q_OBJECT
public:
    // Called on the worker thread with 0..100; queued to Progressed.
    using Progress = std::function<void(int percent)>;
    // What to do on the GUI thread; an empty one does nothing.
    using Apply = std::function<void()>;
    using Job = std::function<Apply(const std::atomic<bool>& cancelled, const Progress& progress)>;

    explicit CPreviewWorker(QObject* parent = nullptr);
    ~CPreviewWorker() override;

    void Start(Job job);
    // Called from an Apply: runs `next` as a later queued call, as the same
    // job's next step (dropped like it when a newer job starts), so that the
    // GUI thread takes a long result in short turns.
    void Then(Apply next);
    void Cancel();
    // A job was started and its result has not been applied or dropped yet.
    bool Busy() const { return current_ != nullptr; }
    // Waits until every job started by any worker has left its thread (for
    // the end of a test or of the program).
    static void WaitForIdle();

signals:
    void Progressed(int percent);
    // The latest job's result was applied.
    void Finished();

private:
    struct Ticket;
    struct Mailbox;
    // Runs one step of the job of `ticket` on the GUI thread.
    void Step(const std::shared_ptr<Ticket>& ticket, const Apply& apply);

    std::shared_ptr<Ticket> current_;
    Apply next_;
    std::shared_ptr<Mailbox> mailbox_;
};

// A file a job wrote for an edit that the GUI thread has yet to make. Held
// by the job and its result, it removes the file when the last of them goes
// (the job cancelled, its result dropped) unless the edit took it over.
class CPreparedFile {
public:
    explicit CPreparedFile(QString path) : path_(std::move(path)) {}
    ~CPreparedFile();
    CPreparedFile(const CPreparedFile&) = delete;
    CPreparedFile& operator=(const CPreparedFile&) = delete;
    // The edit keeps the file or removes it itself.
    void Keep() { kept_ = true; }

private:
    QString path_;
    bool kept_ = false;
};

}  // namespace glowdeck
