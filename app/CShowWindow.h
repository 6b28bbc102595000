// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QWidget>
#include <optional>

#include "base/BallConfig.h"
#include "show/Show.h"
#include "show/ShowPlayer.h"

class QComboBox;
class QDoubleSpinBox;
class QFileSystemWatcher;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTimer;

namespace glowdeck {

class CGlowdeckDoc;
class CShowBallCanvas;
class CShowStripCanvas;

// "放映": the compiled show played as the ball plays it, flat (the strip of
// LEDs) and on a turning ball. Reads the project's data.bin and reads it
// again whenever a compile replaces it. Its choices are program settings.
class CShowWindow : public QWidget {
    Q_OBJECT
public:
    CShowWindow(CGlowdeckDoc& doc, QWidget* parent = nullptr);
    ~CShowWindow() override;

    // The ball and layer the data is read for.
    void SetBall(const BallConfig& ball);
    // Reads data.bin again.
    void Reload();

    const std::optional<CShow>& Show() const { return show_; }
    CShowPlayer& Player() { return player_; }
    int ColumnsPerTurn() const;
    // Turn of the ball now, in degrees, and how far a long strip has scrolled.
    double TurnDeg() const;
    long long Scroll() const;
    QString StatusText() const;
    QTabWidget* Views() const { return views_; }

private:
    void Tick();
    void StoreSettings() const;
    void UpdateGroupList();
    void UpdatePlayButton();

    CGlowdeckDoc& doc_;
    BallConfig ball_;
    std::optional<CShow> show_;
    CShowPlayer player_;
    QElapsedTimer clock_;
    QTimer* timer_;
    QFileSystemWatcher* watcher_;
    QString watchedData_;
    qint64 dataStamp_ = -1;
    qint64 sinceLook_ = 0;
    QListWidget* groups_;
    QPushButton* play_;
    QComboBox* speed_;
    QSpinBox* groupSeconds_;
    QSpinBox* columnsPerTurn_;
    QDoubleSpinBox* turnSeconds_;
    QSpinBox* scrollSpeed_;
    QTabWidget* views_;
    CShowStripCanvas* strip_;
    CShowBallCanvas* ball3d_;
    QLabel* status_;
    double dragTurn_ = 0;  // degrees the user turned the ball by hand
};

}  // namespace glowdeck
