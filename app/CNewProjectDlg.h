// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <functional>

class QLineEdit;

namespace glowdeck {

class IMessageSink;

// "新建项目": asks the new project's name. A name whose folder cannot be
// made is refused with the reason, and the dialog stays open for another.
class CNewProjectDlg : public QDialog {
    Q_OBJECT
public:
    // The refusal of a name (empty when it may be created).
    using Check = std::function<QString(const QString& name)>;
    explicit CNewProjectDlg(QWidget* parent = nullptr, Check check = {},
                            IMessageSink* messages = nullptr);
    QString Name() const;
    void SetName(const QString& name);

    // Why a project `name` cannot be made under `root` (a folder ending in
    // '/'): its folder exists, or the name or the root does not allow one.
    static QString Refusal(const QString& root, const QString& name);

    // "确定建立": accepted only when the name may be created.
    void accept() override;

private:
    QLineEdit* edit_;
    Check check_;
    IMessageSink* messages_;
};

}  // namespace glowdeck
