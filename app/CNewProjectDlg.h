#pragma once
#include <QDialog>

class QLineEdit;

namespace glowdeck {

// "新建项目": asks the new project's name.
class CNewProjectDlg : public QDialog {
    Q_OBJECT
public:
    explicit CNewProjectDlg(QWidget* parent = nullptr);
    QString Name() const;

private:
    QLineEdit* edit_;
};

}  // namespace glowdeck
