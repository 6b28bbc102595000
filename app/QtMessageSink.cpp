// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "app/AppDialogs.h"

namespace glowdeck {

IMessageSink::Answer QtMessageSink::Show(const QString& text, const QString& caption, Icon icon,
                                         Buttons buttons) {
    // Workers (the send worker, the serial port under it) report from their
    // own threads: the box is shown on the GUI thread and the worker goes on
    // at once. Waiting for the box could deadlock with a window that is
    // waiting for the worker to end. Workers only report; they ask nothing.
    if (QThread::currentThread() != qApp->thread()) {
        QMetaObject::invokeMethod(
            qApp, [this, text, caption, icon, buttons] { Show(text, caption, icon, buttons); },
            Qt::QueuedConnection);
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    // Over the window the user is looking at, never beneath it.
    QMessageBox box(DialogParent(parent_));
    ComeOnTop(&box);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case Icon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return Answer::Ok;
    }
}

}  // namespace glowdeck
