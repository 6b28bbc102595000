// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CStartDlg.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace glowdeck {

CStartDlg::CStartDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("开始"));
    auto* layout = new QHBoxLayout(this);
    auto* create = new QPushButton(tr("新建项目"), this);
    auto* open = new QPushButton(tr("打开项目"), this);
    auto* quit = new QPushButton(tr("退出"), this);
    create->setObjectName(QStringLiteral("new"));
    open->setObjectName(QStringLiteral("open"));
    create->setDefault(true);
    for (QPushButton* b : {create, open, quit}) {
        b->setMinimumSize(110, 48);
        layout->addWidget(b);
    }
    connect(create, &QPushButton::clicked, this, [this] {
        choice_ = IProjectDialogs::StartChoice::NewProject;
        accept();
    });
    connect(open, &QPushButton::clicked, this, [this] {
        choice_ = IProjectDialogs::StartChoice::OpenProject;
        accept();
    });
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace glowdeck
