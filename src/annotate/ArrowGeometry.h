#pragma once
// The two arrow shapes: a shaft with a filled wedge head and a shaft with an open V
// head and a V tail mark, with the angle helper directionAngle.
#include <vector>

namespace kamsulo::annotate {

class CanvasSurface;

// The program's value of pi, and the angles formed from it.
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 2.0 * kPi;
inline constexpr double kHalfPi = kPi / 2.0;
inline constexpr double kThreeHalfPi = 3.0 * kPi / 2.0;
// Half the opening of the filled head, radians.
inline constexpr double kWedgeHalfOpening = 0.3;

// Direction of (x, y) in [0, 2pi), from the positive x axis towards positive y.
double directionAngle(double x, double y);

// Start and end angle of the head's circle sector for a shaft from the tail to the tip
// (dx, dy = tip - tail). Both negative: a closed pie slice.
struct SectorAngles {
    double start;
    double end;
};
SectorAngles arrowSectorAngles(double dx, double dy);

// Shaft from the tail (x1, y1) to the tip (x2, y2) and a wedge of radius r at the tip.
void drawFilledArrow(CanvasSurface& surface, int x1, int y1, int x2, int y2, int r);

// One straight stroke of an open arrow: from (x, y) by (dx, dy).
struct Stroke {
    float x, y, dx, dy;
};
// The head and tail strokes, without the shaft. Empty for a tail equal to the tip.
std::vector<Stroke> openArrowStrokes(float x1, float y1, float x2, float y2, float headSize,
                                     bool drawHead, int tailMarks, float spacing);

// Shaft from the tail (x1, y1) to the tip (x2, y2), open head, tail marks.
void drawOpenArrow(CanvasSurface& surface, float x1, float y1, float x2, float y2, float headSize,
                   bool drawHead, int tailMarks, float spacing);

} // namespace kamsulo::annotate
