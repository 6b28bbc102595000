#pragma once
#include <QDialog>

#include "led/BallConfig.h"

class QProgressBar;
class QPushButton;
class QLineEdit;

namespace glowdeck {

class CGlowdeckDoc;

// "编译": compiles the project into data.bin with a progress bar; closes
// with OK after a successful compile.
class CCompileDlg : public QDialog
{
    Q_OBJECT
public:
    CCompileDlg(CGlowdeckDoc& doc, const BallConfig& ball, QWidget* parent = nullptr);
    // The "编译" button; true when the compile succeeded.
    bool Compile();

private:
    CGlowdeckDoc& doc_;
    BallConfig ball_;
    QProgressBar* progress_;
    QLineEdit* hint_;
    QPushButton* compile_;
};

}  // namespace glowdeck
