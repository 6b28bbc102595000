// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <memory>

#include "app/CChoiceDlg.h"
#include "app/CNewProjectDlg.h"
#include "app/CStartDlg.h"

namespace glowdeck {

QWidget* DialogParent(QWidget* fallback) {
    if (QWidget* active = QApplication::activeWindow()) return active;
    return fallback;
}

void ComeOnTop(QDialog* dialog) {
    const QWidget* parent = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->raise();
        dialog->activateWindow();
    });
}

QString ProjectFileNameIn(const QString& folder) {
    const QStringList found =
        QDir(folder).entryList({QStringLiteral("index.prj")}, QDir::Files, QDir::Name);
    for (const QString& name : found)
        if (name.compare(QLatin1String("index.prj"), Qt::CaseInsensitive) == 0) return name;
    return QStringLiteral("index.prj");
}

IProjectDialogs::StartChoice AppDialogs::AskStart() {
    CStartDlg dialog(DialogParent(parent_));
    ComeOnTop(&dialog);
    if (dialog.exec() != QDialog::Accepted) return StartChoice::Quit;
    return dialog.Choice();
}

std::optional<QString> AppDialogs::AskNewProjectName() {
    CNewProjectDlg::Check check;
    if (projectRoot_)
        check = [this](const QString& name) {
            return CNewProjectDlg::Refusal(projectRoot_(), name);
        };
    CNewProjectDlg dialog(DialogParent(parent_), check, &messages_);
    ComeOnTop(&dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Name();
}

std::optional<QString> AppDialogs::AskProjectFile(const QString& folder) {
    QFileDialog dialog(DialogParent(parent_), QString(), folder,
                       QCoreApplication::translate("AppDialogs", "Project Files (*.prj)"));
    ComeOnTop(&dialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The name as the folder spells it: a case-sensitive file system has no
    // "index.prj" beside "Index.prj", and the dialog would refuse it.
    dialog.selectFile(ProjectFileNameIn(folder));
    QObject::connect(
        &dialog, &QFileDialog::directoryEntered, &dialog,
        [&dialog](const QString& entered) { dialog.selectFile(ProjectFileNameIn(entered)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

int AppDialogs::AskBallType() {
    std::unique_ptr<CChoiceDlg> dialog(
        CChoiceDlg::BallTypeDialog(messages_, DialogParent(parent_)));
    ComeOnTop(dialog.get());
    return dialog->exec() == QDialog::Accepted ? dialog->Chosen() : 0;
}

int AppDialogs::AskLayer() {
    std::unique_ptr<CChoiceDlg> dialog(CChoiceDlg::LayerDialog(messages_, DialogParent(parent_)));
    ComeOnTop(dialog.get());
    dialog->exec();
    return dialog->Chosen();
}

}  // namespace glowdeck
