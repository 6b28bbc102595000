#include "app/CNewProjectDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glowdeck {

CNewProjectDlg::CNewProjectDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("新建项目"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("新建项目名称"), this));
    edit_ = new QLineEdit(QStringLiteral("新建项目"), this);
    edit_->selectAll();
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定建立"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消建立"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString CNewProjectDlg::Name() const { return edit_->text(); }

}  // namespace glowdeck
