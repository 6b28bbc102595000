// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace glowdeck {

// "glowdeck --check-start": proves that the program comes up as far as its
// start dialog without anyone at the screen. Watches the modal dialogs as they
// open: any other dialog (the ball-type question of a first start) is
// reported and dismissed; the start dialog is reported and closed, which ends
// the program the way its exit button does.
class StartCheck : public QObject {
    Q_OBJECT
public:
    using Report = std::function<void(const QString&)>;
    explicit StartCheck(Report report, int pollMs = 50, QObject* parent = nullptr);

    bool StartDialogSeen() const { return startDialogSeen_; }

private:
    void Poll();

    Report report_;
    QTimer timer_;
    bool startDialogSeen_ = false;
};

}  // namespace glowdeck
