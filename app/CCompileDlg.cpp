// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CCompileDlg.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "compile/ColumnCache.h"
#include "model/GlowdeckDoc.h"
#include "model/ProgramFolders.h"

namespace glowdeck {

CCompileDlg::CCompileDlg(CGlowdeckDoc& doc, const BallConfig& ball, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      ball_(ball),
      previewFolder_(ProgramFolders::ForThisProgram().WritableFolder()) {
    setWindowTitle(tr("编译"));
    auto* layout = new QFormLayout(this);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    hint_ = new QLineEdit(doc.BuildHint(), this);
    hint_->setReadOnly(true);
    hint_->setMinimumWidth(360);
    compile_ = new QPushButton(tr("编译"), this);
    compile_->setObjectName(QStringLiteral("compile"));
    cancel_ = new QPushButton(tr("取消"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(compile_);
    buttons->addWidget(cancel_);
    layout->addRow(tr("编译进度："), progress_);
    layout->addRow(tr("编译文件："), hint_);
    layout->addRow(buttons);
    connect(compile_, &QPushButton::clicked, this, &CCompileDlg::StartCompile);
    connect(cancel_, &QPushButton::clicked, this, &CCompileDlg::Cancel);
}

CCompileDlg::~CCompileDlg() {
    cancelRequested_ = true;
    if (worker_.joinable()) worker_.join();
}

bool CCompileDlg::StartCompile() {
    if (running_ || !doc_.ProjectFile()) return false;
    if (worker_.joinable()) worker_.join();
    running_ = true;
    cancelRequested_ = false;
    outcome_ = Outcome::NotRun;
    compile_->setEnabled(false);
    cancel_->setEnabled(true);
    progress_->setValue(0);
    snapshot_ = doc_.CompileSnapshot(doc_.Messages());
    revisionAtStart_ = doc_.Revision();
    worker_ =
        std::thread([this, snapshot = snapshot_.get(), ball = ball_, preview = previewFolder_] {
            CProjectCompiler compiler(*snapshot, snapshot->Messages());
            compiler.SetPreviewFolder(preview);
            compiler.SetCacheFolder(CColumnCache::DefaultFolder());
            compiler.SetCancelFlag(&cancelRequested_);
            CompileSummary summary;
            // Updates reach the window as queued calls; the window outlives the
            // worker (its destructor joins it).
            const bool ok = compiler.Compile(
                ball,
                [this](int value, int maximum) {
                    QMetaObject::invokeMethod(
                        this,
                        [this, value, maximum] {
                            progress_->setRange(0, std::max(maximum, 1));
                            progress_->setValue(value);
                        },
                        Qt::QueuedConnection);
                },
                &summary);
            const bool cancelled = compiler.WasCancelled();
            QMetaObject::invokeMethod(
                this, [this, ok, cancelled, summary] { Finish(ok, cancelled, summary); },
                Qt::QueuedConnection);
        });
    return true;
}

void CCompileDlg::Cancel() {
    if (running_) cancelRequested_ = true;
}

void CCompileDlg::reject() {
    // Closing while compiling cancels and closes once the worker has stopped.
    if (running_) {
        closeWhenDone_ = true;
        Cancel();
        return;
    }
    QDialog::reject();
}

void CCompileDlg::Finish(bool ok, bool cancelled, const CompileSummary& summary) {
    if (worker_.joinable()) worker_.join();
    running_ = false;
    snapshot_.reset();
    compile_->setEnabled(true);
    cancel_->setEnabled(false);
    summary_ = summary;
    outcome_ = ok ? Outcome::Compiled : cancelled ? Outcome::Cancelled : Outcome::Failed;
    // The compiled project is the one at the start: an edit made since keeps
    // the flag set.
    if (ok) doc_.MarkCompiled(revisionAtStart_);
    QApplication::beep();
    emit compileFinished(ok);
    if (closeWhenDone_) {
        closeWhenDone_ = false;
        QDialog::reject();
    } else if (ok) {
        accept();
    }
}

}  // namespace glowdeck
