// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

namespace glowdeck {

// The main view, shown at start-up and by "显示主页面": the whole area in
// the program's dark blue, RGB(8, 64, 112).
class CGlowdeckView : public QWidget {
    Q_OBJECT
public:
    explicit CGlowdeckView(QWidget* parent = nullptr);

    static QColor Colour() { return QColor(8, 64, 112); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace glowdeck
