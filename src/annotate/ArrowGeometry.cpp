#include "annotate/ArrowGeometry.h"

#include "annotate/CanvasSurface.h"

#include <cmath>

namespace kamsulo::annotate {

double directionAngle(double x, double y) {
    const double t = x != 0 ? std::atan(std::abs(y) / std::abs(x)) : 0.0;
    if (x > 0) return y >= 0 ? t : kTwoPi - t;
    if (x < 0) return y >= 0 ? kPi - t : kPi + t;
    if (y > 0) return kHalfPi;
    if (y < 0) return kThreeHalfPi;
    return 0.0;
}

SectorAngles arrowSectorAngles(double dx, double dy) {
    const double a = directionAngle(dx, dy) - 3.0 * kPi;
    double s = a + kWedgeHalfOpening;
    double e = s - 2.0 * kWedgeHalfOpening;
    auto wrap = [](double v) {
        if (std::abs(v) > kTwoPi) return std::copysign(std::abs(v + kTwoPi), v);
        return v;
    };
    s = wrap(s);
    e = wrap(e);
    return {s, e};
}

void drawFilledArrow(CanvasSurface& surface, int x1, int y1, int x2, int y2, int r) {
    const long long dy = static_cast<long long>(y2) - y1;
    const long long dx = static_cast<long long>(x2) - x1;
    const SectorAngles angles = arrowSectorAngles(double(dx), double(dy));
    surface.line(x1, y1, x2, y2);
    surface.circleSector(x2, y2, r, angles.start, angles.end);
}

std::vector<Stroke> openArrowStrokes(float x1, float y1, float x2, float y2, float headSize,
                                     bool drawHead, int tailMarks, float spacing) {
    std::vector<Stroke> strokes;
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    const float len = std::sqrt(dx * dx + dy * dy);
    // A shaft without length has no direction: no head, no tail marks.
    if (!(len > 0) || !std::isfinite(len)) return strokes;
    const float ux = dx / len;
    const float uy = dy / len;
    float sx = 0, sy = 0;
    if (tailMarks > 1) {
        sx = ux * spacing;
        sy = uy * spacing;
    }
    auto side = [&](float hx, float hy) {
        if (drawHead) strokes.push_back({x2, y2, hx, hy});
        for (int i = 0; i < tailMarks; ++i)
            strokes.push_back({x1 + float(i) * sx, y1 + float(i) * sy, hx, hy});
    };
    side((-uy - ux) * headSize, (ux - uy) * headSize);
    side((uy - ux) * headSize, (-ux - uy) * headSize);
    return strokes;
}

void drawOpenArrow(CanvasSurface& surface, float x1, float y1, float x2, float y2, float headSize,
                   bool drawHead, int tailMarks, float spacing) {
    surface.line(x1, y1, x2, y2);
    for (const Stroke& s : openArrowStrokes(x1, y1, x2, y2, headSize, drawHead, tailMarks, spacing))
        surface.lineBy(s.x, s.y, s.dx, s.dy);
}

} // namespace kamsulo::annotate
