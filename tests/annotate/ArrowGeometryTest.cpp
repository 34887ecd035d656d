#include "annotate/ArrowGeometry.h"
#include "PixelHelpers.h"
#include "annotate/CanvasSurface.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kamsulo::annotate {
namespace {
using namespace test;

TEST(DirectionAngle, SixPoints) {
    EXPECT_EQ(directionAngle(1, 0), 0.0);
    EXPECT_EQ(directionAngle(0, 1), kHalfPi);
    EXPECT_EQ(directionAngle(-1, 0), kPi);
    EXPECT_EQ(directionAngle(0, -1), kThreeHalfPi);
    EXPECT_EQ(directionAngle(0, 0), 0.0);
    EXPECT_DOUBLE_EQ(directionAngle(1, -1), kTwoPi - std::atan(1.0));
    EXPECT_EQ(kPi, 3.14159265358979);
}

// The screen direction (x right, y down) of the middle of the wedge's arc.
QPointF wedgeAxis(const SectorAngles& a) {
    double from = std::abs(a.start);
    double to = std::abs(a.end);
    if (to < from) to += kTwoPi;
    const double mid = (from + to) / 2;
    return {std::cos(mid), -std::sin(mid)};
}

TEST(ArrowWedge, OpensBackAlongTheShaftInEveryDirection) {
    struct Case {
        double dx, dy; // tip - tail, screen units
    };
    for (const Case c : {Case{1000, 0}, Case{0, 1000}, Case{-1000, 0}, Case{0, -1000},
                         Case{300, -300}, Case{-70, 240}}) {
        const SectorAngles a = arrowSectorAngles(c.dx, c.dy);
        EXPECT_LT(a.start, 0);
        EXPECT_LT(a.end, 0);
        EXPECT_GE(a.start, -kTwoPi);
        EXPECT_GE(a.end, -kTwoPi);
        double span = std::abs(a.end) - std::abs(a.start);
        if (span < 0) span += kTwoPi;
        EXPECT_NEAR(span, 0.6, 1e-9);
        const double len = std::hypot(c.dx, c.dy);
        const QPointF axis = wedgeAxis(a);
        EXPECT_NEAR(axis.x(), -c.dx / len, 1e-9) << c.dx << "," << c.dy;
        EXPECT_NEAR(axis.y(), -c.dy / len, 1e-9) << c.dx << "," << c.dy;
    }
}

TEST(ArrowWedge, ZeroLengthOpensToTheLeft) {
    const QPointF axis = wedgeAxis(arrowSectorAngles(0, 0));
    EXPECT_NEAR(axis.x(), -1, 1e-9);
    EXPECT_NEAR(axis.y(), 0, 1e-9);
}

TEST(ArrowDrawing, WedgeIsFilledInTheFillColourAtTheTip) {
    CanvasSurface s;
    s.setPicture(whitePicture(120, 80));
    s.setScaleMode(ScaleMode::Twips);
    s.setPenColor(kBlue);
    s.setFillStyle(FillStyle::Solid);
    s.setFillColor(kBlue);
    // Tail at pixel (10, 40), tip at pixel (100, 40).
    drawFilledArrow(s, 150, 600, 1500, 600, 200);
    EXPECT_EQ(s.colorAt(50, 40), kBlue); // shaft
    EXPECT_EQ(s.colorAt(92, 42), kBlue); // inside the wedge, off the shaft
    EXPECT_EQ(s.colorAt(92, 38), kBlue);
    EXPECT_EQ(s.colorAt(104, 40), kWhite); // nothing beyond the tip
    EXPECT_EQ(s.colorAt(50, 44), kWhite);
}

TEST(OpenArrowGeometry, StrokesOfAnArrowPointingRight) {
    const auto strokes = openArrowStrokes(0, 0, 1000, 0, 130, true, 1, 100);
    ASSERT_EQ(strokes.size(), 4u);
    auto end = [](const Stroke& s) { return QPointF(s.x + s.dx, s.y + s.dy); };
    EXPECT_EQ(QPointF(strokes[0].x, strokes[0].y), QPointF(1000, 0));
    EXPECT_EQ(end(strokes[0]), QPointF(870, 130));
    EXPECT_EQ(QPointF(strokes[1].x, strokes[1].y), QPointF(0, 0));
    EXPECT_EQ(end(strokes[1]), QPointF(-130, 130));
    EXPECT_EQ(end(strokes[2]), QPointF(870, -130));
    EXPECT_EQ(end(strokes[3]), QPointF(-130, -130));
}

TEST(OpenArrowGeometry, MoreTailMarksFollowAtTheSpacingAndTheHeadIsOptional) {
    const auto strokes = openArrowStrokes(0, 0, 0, 1000, 130, false, 3, 100);
    ASSERT_EQ(strokes.size(), 6u);
    EXPECT_FLOAT_EQ(strokes[1].y, 100);
    EXPECT_FLOAT_EQ(strokes[2].y, 200);
    EXPECT_FLOAT_EQ(strokes[0].x, 0);
}

TEST(OpenArrowGeometry, ZeroLengthHasNoHead) {
    EXPECT_TRUE(openArrowStrokes(500, 500, 500, 500, 130, true, 1, 100).empty());
    CanvasSurface s;
    s.setPicture(whitePicture(80, 80));
    s.setScaleMode(ScaleMode::Twips);
    s.setPenWidth(1);
    s.setPenColor(kBlue);
    drawOpenArrow(s, 600, 600, 600, 600, 130, true, 1, 100);
    EXPECT_LE(countColour(s.image(), kBlue), 1); // at most the shaft's single point
}

TEST(OpenArrowDrawing, HeadStrokesReachBackFromTheTip) {
    CanvasSurface s;
    s.setPicture(whitePicture(120, 60));
    s.setScaleMode(ScaleMode::Twips);
    s.setPenWidth(1);
    s.setPenColor(kBlue);
    drawOpenArrow(s, 150, 450, 1500, 450, 130, true, 1, 100); // tail (10,30), tip (100,30)
    // 130 twips back and aside is about 8.7 pixels.
    EXPECT_EQ(s.colorAt(91, 39), kBlue);
    EXPECT_EQ(s.colorAt(91, 21), kBlue);
    EXPECT_EQ(s.colorAt(1, 39), kBlue);
    EXPECT_EQ(s.colorAt(1, 21), kBlue);
    EXPECT_EQ(s.colorAt(109, 39), kWhite);
}

} // namespace
} // namespace kamsulo::annotate
