#include "app/CCompileDlg.h"

#include <QApplication>
#include <QFormLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "led/ProjectCompiler.h"
#include "model/GlowdeckDoc.h"
#include "model/ProgramFolders.h"

namespace glowdeck {

CCompileDlg::CCompileDlg(CGlowdeckDoc& doc, const BallConfig& ball, QWidget* parent)
    : QDialog(parent), doc_(doc), ball_(ball) {
    setWindowTitle(QStringLiteral("编译"));
    auto* layout = new QFormLayout(this);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    hint_ = new QLineEdit(doc.buildHint, this);
    hint_->setReadOnly(true);
    hint_->setMinimumWidth(360);
    compile_ = new QPushButton(QStringLiteral("编译"), this);
    compile_->setObjectName(QStringLiteral("compile"));
    layout->addRow(QStringLiteral("编译进度："), progress_);
    layout->addRow(QStringLiteral("编译文件："), hint_);
    layout->addRow(compile_);
    connect(compile_, &QPushButton::clicked, this, [this] {
        if (Compile()) accept();
    });
}

bool CCompileDlg::Compile() {
    compile_->setEnabled(false);
    CProjectCompiler compiler(doc_, doc_.Messages());
    compiler.SetPreviewFolder(ProgramFolders::ForThisProgram().WritableFolder());
    const bool ok = compiler.Compile(ball_, [this](int value, int maximum) {
        progress_->setRange(0, std::max(maximum, 1));
        progress_->setValue(value);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    compile_->setEnabled(true);
    QApplication::beep();
    return ok;
}

}  // namespace glowdeck
