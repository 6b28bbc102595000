// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CNewProjectDlg.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/MessageSink.h"
#include "model/GlowdeckDoc.h"

namespace glowdeck {

CNewProjectDlg::CNewProjectDlg(QWidget* parent, Check check, IMessageSink* messages)
    : QDialog(parent), check_(std::move(check)), messages_(messages) {
    setWindowTitle(tr("新建项目"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("新建项目名称"), this));
    edit_ = new QLineEdit(tr("新建项目"), this);
    edit_->setObjectName(QStringLiteral("projectName"));
    edit_->selectAll();
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("确定建立"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(tr("取消建立"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewProjectDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString CNewProjectDlg::Name() const { return edit_->text(); }

void CNewProjectDlg::SetName(const QString& name) { edit_->setText(name); }

QString CNewProjectDlg::Refusal(const QString& root, const QString& name) {
    const QString folder = root + name;
    const QFileInfo place(folder);
    if (name.isEmpty() || place.exists() || place.isSymLink())
        return tr("项目文件夹已存在或无法建立：%1/").arg(folder);
    if (!CGlowdeckDoc::IsProjectName(name)) return tr("项目名称不能含有路径：%1").arg(name);
    const QFileInfo rootInfo(root);
    if (rootInfo.exists() && (!rootInfo.isDir() || !rootInfo.isWritable()))
        return tr("项目文件夹已存在或无法建立：%1/").arg(folder);
    return QString();
}

void CNewProjectDlg::accept() {
    const QString refusal = check_ ? check_(Name()) : QString();
    if (refusal.isEmpty()) return QDialog::accept();
    // Said, and asked again: the user picks another name.
    if (messages_) messages_->Warn(refusal);
    edit_->setFocus();
    edit_->selectAll();
}

}  // namespace glowdeck
