#include "app/AppDialogs.h"

#include <QFileDialog>
#include <memory>

#include "app/CChoiceDlg.h"
#include "app/CNewProjectDlg.h"
#include "app/CStartDlg.h"

namespace glowdeck {

IProjectDialogs::StartChoice AppDialogs::AskStart() {
    CStartDlg dialog(parent_);
    if (dialog.exec() != QDialog::Accepted) return StartChoice::Quit;
    return dialog.Choice();
}

std::optional<QString> AppDialogs::AskNewProjectName() {
    CNewProjectDlg dialog(parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Name();
}

std::optional<QString> AppDialogs::AskProjectFile(const QString& folder) {
    QFileDialog dialog(parent_, QString(), folder, QStringLiteral("Project Files (*.prj)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.selectFile(QStringLiteral("index.prj"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

int AppDialogs::AskBallType() {
    std::unique_ptr<CChoiceDlg> dialog(CChoiceDlg::BallTypeDialog(messages_, parent_));
    return dialog->exec() == QDialog::Accepted ? dialog->Chosen() : 0;
}

int AppDialogs::AskLayer() {
    std::unique_ptr<CChoiceDlg> dialog(CChoiceDlg::LayerDialog(messages_, parent_));
    dialog->exec();
    return dialog->Chosen();
}

}  // namespace glowdeck
