// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "base/BallConfig.h"
#include "compile/ProjectCompiler.h"

class QProgressBar;
class QPushButton;
class QLineEdit;

namespace glowdeck {

class CGlowdeckDoc;

// "编译": compiles the project into data.bin with a progress bar; closes
// with OK after a successful compile. The compile runs on a worker thread
// over a copy of the project taken when it starts, so the window stays live
// and nothing the editors do meanwhile can change what is compiled; progress
// and the outcome come back as queued calls. "取消" (or closing the window)
// stops it and keeps the previous data.bin.
class CCompileDlg : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { NotRun, Compiled, Failed, Cancelled };

    CCompileDlg(CGlowdeckDoc& doc, const BallConfig& ball, QWidget* parent = nullptr);
    ~CCompileDlg() override;

    // The "编译" button: starts the compile; false while one runs.
    bool StartCompile();
    // The "取消" button.
    void Cancel();
    bool Running() const { return running_; }
    Outcome LastOutcome() const { return outcome_; }
    const CompileSummary& Summary() const { return summary_; }
    void SetPreviewFolder(const QString& folder) { previewFolder_ = folder; }

    void reject() override;

signals:
    void compileFinished(bool ok);

private:
    void Finish(bool ok, bool cancelled, const CompileSummary& summary);

    CGlowdeckDoc& doc_;
    BallConfig ball_;
    QString previewFolder_;
    QProgressBar* progress_;
    QLineEdit* hint_;
    QPushButton* compile_;
    QPushButton* cancel_;
    std::unique_ptr<CGlowdeckDoc> snapshot_;
    std::uint64_t revisionAtStart_ = 0;
    std::thread worker_;
    std::atomic<bool> cancelRequested_{false};
    bool running_ = false;
    bool closeWhenDone_ = false;
    Outcome outcome_ = Outcome::NotRun;
    CompileSummary summary_;
};

}  // namespace glowdeck
