// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

#include "app/ProjectDialogs.h"

namespace glowdeck {

// "开始": create a project, open one, or leave the program.
class CStartDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStartDlg(QWidget* parent = nullptr);
    IProjectDialogs::StartChoice Choice() const { return choice_; }

private:
    IProjectDialogs::StartChoice choice_ = IProjectDialogs::StartChoice::Quit;
};

}  // namespace glowdeck
