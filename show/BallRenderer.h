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
    // `tiltDeg` > 0 leans the north pole towards the viewer.
    void SetView(int size, double tiltDeg, int columnsPerTurn);
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
    struct Pixel {
        std::uint32_t offset;  // in the picture, pixels
        float turns;           // longitude in turns, 0..1
        float rowPart;         // (where in its row's height − 0.5)²
        float widthScale;      // a column's width against a row's height here
        std::uint8_t row;
        std::uint8_t shade;  // 0..ShadeLevels-1
    };
    static constexpr int ShadeLevels = 16;
    std::vector<Pixel> Map(double radius, double light) const;
    void Draw(QImage* out, const std::vector<Pixel>& map, const BallLayer& layer, double turnDeg,
              long long scroll, bool litOnly) const;

    int size_ = 0, columnsPerTurn_ = 112;
    double tiltDeg_ = 0;
    std::vector<Pixel> outer_, inner_, outerRim_;
    // Colours by LED colour (0..7), LED off (8) and the ball between LEDs
    // (9), each in every shade.
    std::vector<QRgb> palette_;
};

}  // namespace glowdeck
