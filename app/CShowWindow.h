// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "base/BallConfig.h"
#include "show/Show.h"
#include "show/ShowPlayer.h"

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QFileSystemWatcher;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTemporaryDir;
class QTimer;

namespace glowdeck {

class CGlowdeckDoc;
class CLayerCompiler;
class CShowBallCanvas;
class CShowStripCanvas;

// "放映": the compiled show played as the ball plays it, flat (the strip of
// LEDs) and on a turning ball. Reads the project's data.bin and reads it
// again whenever a compile replaces it. A double ball's data.bin holds one
// layer; the window compiles the other one itself, into a folder of its
// own, when it is to be shown, and again after each compile. Its choices
// are program settings.
class CShowWindow : public QWidget {
    Q_OBJECT
public:
    // What is shown of a double ball: one layer, or the inner ball inside
    // the outer one (in the strip view the two strips one above the other).
    enum class Layers { Outer, Inner, Both };

    CShowWindow(CGlowdeckDoc& doc, QWidget* parent = nullptr);
    ~CShowWindow() override;

    // The ball and layer the data is read for.
    void SetBall(const BallConfig& ball);
    // Reads data.bin again.
    void Reload();

    void SetLayers(Layers layers);
    Layers ShownLayers() const;
    // The show played: the shown layer, or of both the outer one (the inner
    // one alone while the outer is still compiling); null before there is one.
    const CShow* Show() const;
    // The inner ball shown inside the outer one, or null.
    const CShow* InsideShow() const;
    CShowPlayer& Player() { return player_; }
    int ColumnsPerTurn() const;
    // Turn of the ball now, in degrees, and how far a long strip has scrolled.
    double TurnDeg() const;
    long long Scroll() const;
    QString StatusText() const;
    QTabWidget* Views() const { return views_; }

signals:
    // The layer data.bin does not hold was compiled for the window and is
    // shown (true), or its compile failed (false).
    void layerCompiled(bool ok);

private:
    void CompileOtherLayer();
    void TakeCompiledLayer(bool ok);
    void UpdateShown();
    void Tick();
    void StoreSettings() const;
    void UpdateGroupList();
    void UpdatePlayButton();

    CGlowdeckDoc& doc_;
    BallConfig ball_;
    // By layer (0 outer, 1 inner); a single ball's show is the first.
    std::array<std::optional<CShow>, 2> shows_;
    int dataLayer_ = 0;         // the layer data.bin holds
    qint64 otherStamp_ = -1;    // the data.bin the other layer was compiled after
    CLayerCompiler* compiler_;  // of the other layer
    std::unique_ptr<QTemporaryDir> compiled_;
    QString layerProblem_;
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
    QComboBox* layers_;
    QFormLayout* choices_;
    QTabWidget* views_;
    CShowStripCanvas* strip_;
    CShowBallCanvas* ball3d_;
    QLabel* status_;
    double dragTurn_ = 0;  // degrees the user turned the ball by hand
};

}  // namespace glowdeck
