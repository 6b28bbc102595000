// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartCheck.h"

#include <QApplication>
#include <QDialog>

#include "app/CStartDlg.h"

namespace glowdeck {

StartCheck::StartCheck(Report report, int pollMs, QObject* parent)
    : QObject(parent), report_(std::move(report)) {
    // A timer rather than a one-shot: the dialogs run their own event loops,
    // which keep serving it.
    connect(&timer_, &QTimer::timeout, this, &StartCheck::Poll);
    timer_.start(pollMs);
}

void StartCheck::Poll() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    if (qobject_cast<CStartDlg*>(dialog)) {
        startDialogSeen_ = true;
        timer_.stop();
        report_(QStringLiteral("start dialog shown: %1").arg(dialog->windowTitle()));
    } else {
        report_(QStringLiteral("dialog shown and dismissed: %1").arg(dialog->windowTitle()));
    }
    dialog->reject();
}

}  // namespace glowdeck
