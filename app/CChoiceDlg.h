// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QButtonGroup;

namespace glowdeck {

class IMessageSink;

// A dialog of radio buttons that closes with OK only once one is chosen;
// otherwise it shows `mustChoose` and stays. Escape leaves the choice at 0.
// The ball-type dialog ("单层球" 1, "双层球" 2) and the layer dialog ("内层" 1,
// "外层" 0) are two of these.
class CChoiceDlg : public QDialog {
    Q_OBJECT
public:
    struct Option {
        QString text;
        int value;
    };
    CChoiceDlg(const QString& title, const QList<Option>& options, const QString& mustChoose,
               IMessageSink& messages, QWidget* parent = nullptr);

    static CChoiceDlg* BallTypeDialog(IMessageSink& messages, QWidget* parent);
    static CChoiceDlg* LayerDialog(IMessageSink& messages, QWidget* parent);

    int Chosen() const { return chosen_; }
    void Choose(int value);  // as a click on the option with that value

private:
    void Confirm();

    QButtonGroup* group_;
    QString mustChoose_;
    IMessageSink& messages_;
    int chosen_ = 0;
    bool any_ = false;
};

}  // namespace glowdeck
