// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

namespace glowdeck {

// The project and group views: the frame's background on RGB(8, 64, 112),
// with a title ("项目", "组") in "宋体" 50 px, RGB(200, 200, 100), at (0, 20).
class CTitleView : public QWidget {
    Q_OBJECT
public:
    CTitleView(const QString& title, QWidget* parent = nullptr);
    const QString& Title() const { return title_; }

    // The frame's background picture, 960 × 600.
    static const QImage& Background();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
};

}  // namespace glowdeck
