// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CChoiceDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/MessageSink.h"

namespace glowdeck {

CChoiceDlg::CChoiceDlg(const QString& title, const QList<Option>& options,
                       const QString& mustChoose, IMessageSink& messages, QWidget* parent)
    : QDialog(parent),
      group_(new QButtonGroup(this)),
      mustChoose_(mustChoose),
      messages_(messages) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    for (const Option& option : options) {
        auto* radio = new QRadioButton(option.text, this);
        group_->addButton(radio, option.value);
        layout->addWidget(radio);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
        chosen_ = id;
        any_ = true;
    });
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    layout->addWidget(buttons);
    connect(ok, &QPushButton::clicked, this, &CChoiceDlg::Confirm);
}

void CChoiceDlg::Choose(int value) {
    if (QAbstractButton* button = group_->button(value)) button->click();
}

void CChoiceDlg::Confirm() {
    if (!any_) {
        messages_.Warn(mustChoose_);  // the program's caption, not the dialog's title
        return;
    }
    accept();
}

CChoiceDlg* CChoiceDlg::BallTypeDialog(IMessageSink& messages, QWidget* parent) {
    return new CChoiceDlg(tr("彩球类型"), {{tr("单层球"), 1}, {tr("双层球"), 2}},
                          tr("请选择彩球类型！"), messages, parent);
}

CChoiceDlg* CChoiceDlg::LayerDialog(IMessageSink& messages, QWidget* parent) {
    return new CChoiceDlg(tr("选择层"), {{tr("内层"), 1}, {tr("外层"), 0}}, tr("必须选择内外球！"),
                          messages, parent);
}

}  // namespace glowdeck
