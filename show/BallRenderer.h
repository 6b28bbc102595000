// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QPointF>
#include <cstdint>
#include <vector>

namespace glowdeck {

// What one layer of the ball shows: stored columns and the strip of them
// that is on the ball now (see ShowGroup::StripAt).
struct BallLayer {
    const QImage* columns = nullptr;
    const std::vector<int>* strip = nullptr;
};

// Draws the ball as a shaded sphere with the strip wrapped around it: strip
// column d covers longitudes d/N .. (d+1)/N of a turn (N columns a turn),
// rows run from pole to pole, 180°/56 apart. The visible pixels' sphere
// coordinates are computed once per size and tilt; a frame then only looks
// up each pixel's column, so turning the ball costs no trigonometry. The
// back half is hidden by the sphere itself.
class CBallRenderer {
public:
    // `tiltDeg` > 0 leans the north pole towards the viewer. `block` 2 works
    // out every second pixel's place and fills 2 × 2 pixels with it: a
    // quarter of the work, for large pictures played in a window.
    void SetView(int size, double tiltDeg, int columnsPerTurn, int block = 1);
    int Size() const { return size_; }
    int ColumnsPerTurn() const { return columnsPerTurn_; }

    // Draws `outer` (and `inner` inside it, seen where the outer ball is
    // dark, when given) turned by `turnDeg`. A strip longer than a turn
    // shows N columns from strip column `scroll` on.
    void Render(QImage* out, const BallLayer& outer, double turnDeg, long long scroll = 0,
                const BallLayer* inner = nullptr) const;

    // Where on the picture the point of the ball at a longitude (0 faces
    // the viewer before any turn, growing to the right) and latitude
    // (90 at the north pole) appears, turned by `turnDeg`; nullopt-like
    // (-1, -1) when it is on the hidden half.
    QPointF ScreenPoint(double longitudeDeg, double latitudeDeg, double turnDeg) const;

    // The inner ball's radius as a share of the outer's.
    static constexpr double InnerRadius = 0.6;

private:
    // Longitudes are fixed point: 256 steps a column.
    static constexpr int ColumnSteps = 256;
    struct Pixel {
        std::uint32_t offset;     // in the picture, pixels
        std::uint32_t longitude;  // in column steps from longitude 0, below N × 256
        std::int16_t halfDot;     // a dot covers the pixel within this many steps of the
                                  // column's centre; negative: between rows of dots
        std::uint8_t row;
        std::uint8_t shade;  // 0..ShadeLevels-1
    };
    static constexpr int ShadeLevels = 16;
    std::vector<Pixel> Map(double radius, double light) const;
    void Draw(QImage* out, const std::vector<Pixel>& map, const BallLayer& layer, double turnDeg,
              long long scroll, bool litOnly) const;

    int size_ = 0, columnsPerTurn_ = 112, block_ = 1;
    double tiltDeg_ = 0;
    std::vector<Pixel> outer_, inner_, outerRim_;
    // Colours by LED colour (0..7), LED off (8) and the ball between LEDs
    // (9), each in every shade.
    std::vector<QRgb> palette_;
};

}  // namespace glowdeck
