// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/BallRenderer.h"

#include <cmath>

#include "led/LedOrder.h"
#include "show/StripRenderer.h"

namespace glowdeck {

namespace {

constexpr double Pi = 3.14159265358979323846;
// A dot's radius against a row's height.
constexpr float DotRadius = 0.4f;

}  // namespace

std::vector<CBallRenderer::Pixel> CBallRenderer::Map(double radius, double light) const {
    std::vector<Pixel> map;
    const double centre = size_ / 2.0;
    const double tilt = tiltDeg_ * Pi / 180;
    const double ct = std::cos(tilt), st = std::sin(tilt);
    // Light from the upper left, in front.
    const double lx = -0.40, ly = 0.50, lz = 0.77;
    const double ln = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double middle = block_ / 2.0;
    for (int y = 0; y + block_ <= size_; y += block_)
        for (int x = 0; x + block_ <= size_; x += block_) {
            const double nx = (x + middle - centre) / radius, ny = (centre - y - middle) / radius;
            const double rr = nx * nx + ny * ny;
            if (rr >= 1) continue;
            const double nz = std::sqrt(1 - rr);
            // Into the ball's own frame: tilted about the picture's x axis.
            const double bx = nx, by = ny * ct + nz * st, bz = -ny * st + nz * ct;
            const double latitude = std::asin(std::clamp(by, -1.0, 1.0));
            double turns = std::atan2(bx, bz) / (2 * Pi);
            if (turns < 0) turns += 1;
            const double rowAt = (Pi / 2 - latitude) / Pi * LedRows;
            const int row = std::clamp(static_cast<int>(rowAt), 0, LedRows - 1);
            const double part = rowAt - row - 0.5;
            const double lit = std::max(0.0, (nx * lx + ny * ly + nz * lz) / ln);
            const double shade = light * (0.3 + 0.7 * lit);
            // Round dots: at this height within the row the dot spans
            // ±sqrt(r² − part²) row heights, and a column is widthScale row
            // heights wide here.
            const double widthScale = std::cos(latitude) * 2 * LedRows / columnsPerTurn_;
            const double reach = DotRadius * DotRadius - part * part;
            double halfDot = -1;
            if (reach > 0)
                halfDot =
                    widthScale > 1e-6 ? std::sqrt(reach) / widthScale * ColumnSteps : ColumnSteps;
            Pixel p;
            p.offset = static_cast<std::uint32_t>(y * size_ + x);
            p.longitude = static_cast<std::uint32_t>(turns * columnsPerTurn_ * ColumnSteps) %
                          static_cast<std::uint32_t>(columnsPerTurn_ * ColumnSteps);
            p.halfDot = static_cast<std::int16_t>(std::min(halfDot, 30000.0));
            p.row = static_cast<std::uint8_t>(row);
            p.shade = static_cast<std::uint8_t>(
                std::clamp(static_cast<int>(shade * ShadeLevels), 0, ShadeLevels - 1));
            map.push_back(p);
        }
    return map;
}

void CBallRenderer::SetView(int size, double tiltDeg, int columnsPerTurn, int block) {
    size_ = std::max(8, size);
    block_ = std::clamp(block, 1, 2);
    tiltDeg_ = std::clamp(tiltDeg, -90.0, 90.0);
    columnsPerTurn_ = std::max(1, columnsPerTurn);
    const double radius = size_ / 2.0 - 1;
    outer_ = Map(radius, 1.0);
    inner_ = Map(radius * InnerRadius, 0.8);
    // The outer ball's pixels outside the inner one's disc.
    outerRim_.clear();
    const double centre = size_ / 2.0, innerRadius = radius * InnerRadius;
    for (const Pixel& p : outer_) {
        const double x = p.offset % size_ + 0.5 - centre, y = p.offset / size_ + 0.5 - centre;
        if (x * x + y * y >= innerRadius * innerRadius) outerRim_.push_back(p);
    }
    palette_.assign(10 * ShadeLevels, 0);
    for (int c = 0; c < 10; ++c) {
        const QRgb base =
            c < 8
                ? CStripRenderer::DotColour(qRgb(c & 1 ? 255 : 0, c & 2 ? 255 : 0, c & 4 ? 255 : 0))
            : c == 8 ? qRgb(40, 40, 46)
                     : qRgb(14, 14, 18);
        for (int s = 0; s < ShadeLevels; ++s) {
            const int k = s + 1;
            palette_[static_cast<size_t>(c * ShadeLevels + s)] =
                qRgb(qRed(base) * k / ShadeLevels, qGreen(base) * k / ShadeLevels,
                     qBlue(base) * k / ShadeLevels);
        }
    }
    // An unlit LED is drawn in its own grey, not the strip's.
    for (int s = 0; s < ShadeLevels; ++s)
        palette_[static_cast<size_t>(s)] = palette_[8 * ShadeLevels + s];
}

void CBallRenderer::Draw(QImage* out, const std::vector<Pixel>& map, const BallLayer& layer,
                         double turnDeg, long long scroll, bool litOnly) const {
    const int n = columnsPerTurn_;
    const std::vector<int>& strip = *layer.strip;
    const long long width = static_cast<long long>(strip.size());
    // The colour of each of the N columns on the ball, row by row.
    std::vector<std::uint8_t> colours(static_cast<size_t>(n) * LedRows, 0);
    for (int d = 0; d < n; ++d) {
        long long s = d;
        if (width > n) s = ((scroll + d) % width + width) % width;
        if (s >= width) continue;
        const int column = strip[static_cast<size_t>(s)];
        for (int row = 0; row < LedRows; ++row)
            colours[static_cast<size_t>(row * n + d)] =
                static_cast<std::uint8_t>(LedColourIndex(layer.columns->pixel(column, row)));
    }
    // The turn in column steps, within one turn.
    const long long turnSteps = static_cast<long long>(n) * ColumnSteps;
    long long shift = std::llround(turnDeg / 360.0 * static_cast<double>(turnSteps)) % turnSteps;
    if (shift < 0) shift += turnSteps;
    const std::uint32_t total = static_cast<std::uint32_t>(turnSteps);
    // Where each column's colour on each row starts in the palette; one more
    // entry for the ball between the dots, so that choosing costs no branch.
    const size_t between = colours.size();
    std::vector<std::uint16_t> base(between + 1);
    for (size_t k = 0; k < between; ++k)
        base[k] = static_cast<std::uint16_t>(colours[k] * ShadeLevels);
    base[between] = 9 * ShadeLevels;
    const QRgb* palette = palette_.data();
    QRgb* pixels = reinterpret_cast<QRgb*>(out->bits());
    for (const Pixel& p : map) {
        std::uint32_t u = p.longitude + static_cast<std::uint32_t>(shift);
        u = u >= total ? u - total : u;
        const int across = static_cast<int>(u % ColumnSteps) - ColumnSteps / 2;
        const bool inDot = std::abs(across) < p.halfDot;
        const size_t k = inDot ? static_cast<size_t>(p.row * n) + u / ColumnSteps : between;
        if (litOnly && (!inDot || colours[k] == 0)) continue;
        const QRgb colour = palette[base[k] + p.shade];
        pixels[p.offset] = colour;
        if (block_ == 2) {
            pixels[p.offset + 1] = colour;
            pixels[p.offset + static_cast<std::uint32_t>(size_)] = colour;
            pixels[p.offset + static_cast<std::uint32_t>(size_) + 1] = colour;
        }
    }
}

void CBallRenderer::Render(QImage* out, const BallLayer& outer, double turnDeg, long long scroll,
                           const BallLayer* inner) const {
    if (out->size() != QSize(size_, size_) || out->format() != QImage::Format_RGB32)
        *out = QImage(size_, size_, QImage::Format_RGB32);
    out->fill(Qt::black);
    if (inner) {
        // The inner ball first; the outer one covers it with its lit LEDs only,
        // and draws its dark LEDs and body where the inner ball is not.
        Draw(out, inner_, *inner, turnDeg, scroll, false);
        Draw(out, outerRim_, outer, turnDeg, scroll, false);
        Draw(out, outer_, outer, turnDeg, scroll, true);
        return;
    }
    Draw(out, outer_, outer, turnDeg, scroll, false);
}

QPointF CBallRenderer::ScreenPoint(double longitudeDeg, double latitudeDeg, double turnDeg) const {
    const double lambda = (longitudeDeg - turnDeg) * Pi / 180, phi = latitudeDeg * Pi / 180;
    const double bx = std::cos(phi) * std::sin(lambda), by = std::sin(phi),
                 bz = std::cos(phi) * std::cos(lambda);
    const double tilt = tiltDeg_ * Pi / 180;
    // Back from the ball's frame into the picture's.
    const double ny = by * std::cos(tilt) - bz * std::sin(tilt);
    const double nz = by * std::sin(tilt) + bz * std::cos(tilt);
    if (nz <= 0) return QPointF(-1, -1);
    const double radius = size_ / 2.0 - 1;
    return QPointF(size_ / 2.0 + bx * radius, size_ / 2.0 - ny * radius);
}

}  // namespace glowdeck
