#include "annotate/CanvasSurface.h"
#include "PixelHelpers.h"

#include <QFont>
#include <gtest/gtest.h>
#include <numbers>

namespace kamsulo::annotate {
namespace {
using namespace test;

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.setPicture(whitePicture(120, 90));
        s.setTwipsPerPixel(15, 15);
        s.setScaleMode(ScaleMode::Pixels);
        s.setPenColor(kRed);
    }
    CanvasSurface s;
};

TEST_F(SurfaceTest, PictureIsHeldAsRgb32AndColoursAreBgr) {
    QImage argb(4, 4, QImage::Format_ARGB32);
    argb.fill(qRgb(1, 2, 3));
    s.setPicture(argb);
    EXPECT_EQ(s.image().format(), QImage::Format_RGB32);
    EXPECT_EQ(s.colorAt(0, 0), 0x00030201u);
    EXPECT_EQ(s.colorAt(4, 0), kNoColor);
    EXPECT_EQ(s.colorAt(-1, 2), kNoColor);
}

TEST_F(SurfaceTest, TwipsScaleConvertsWithTwipsPerPixel) {
    s.setScaleMode(ScaleMode::Twips);
    s.dot(150, 300); // pixel (10, 20)
    EXPECT_EQ(s.colorAt(10, 20), kRed);
    EXPECT_EQ(countColour(s.image(), kRed), 1);
    EXPECT_DOUBLE_EQ(s.penX(), 150);
    EXPECT_DOUBLE_EQ(s.penY(), 300);
}

TEST_F(SurfaceTest, WideDotIsRoundAndOfThePenWidth) {
    s.setPenWidth(9);
    s.dot(50, 40);
    const QRect r = inkExtent(s.image());
    EXPECT_NEAR(r.width(), 9, 1);
    EXPECT_NEAR(r.height(), 9, 1);
    EXPECT_EQ(s.colorAt(50, 40), kRed);
    EXPECT_EQ(s.colorAt(50, 36), kRed);
    // Corners of the bounding square stay free: it is a disc, not a square.
    EXPECT_EQ(s.colorAt(r.left(), r.top()), kWhite);
    EXPECT_EQ(s.colorAt(r.right(), r.bottom()), kWhite);
}

TEST_F(SurfaceTest, LinesRunFromThePenPositionAndMoveIt) {
    s.dot(10, 10);
    s.lineTo(30, 10);
    s.lineTo(30, 20);
    EXPECT_DOUBLE_EQ(s.penX(), 30);
    EXPECT_DOUBLE_EQ(s.penY(), 20);
    for (int x = 10; x <= 30; ++x)
        EXPECT_EQ(s.colorAt(x, 10), kRed) << x;
    for (int y = 10; y <= 20; ++y)
        EXPECT_EQ(s.colorAt(30, y), kRed) << y;
    EXPECT_EQ(inkExtent(s.image()), QRect(QPoint(10, 10), QPoint(30, 20)));
    s.line(0, 80, 5, 80);
    EXPECT_EQ(s.colorAt(3, 80), kRed);
    EXPECT_DOUBLE_EQ(s.penX(), 5);
}

TEST_F(SurfaceTest, WideLineHasThePenWidthAcrossIt) {
    s.setPenWidth(6);
    s.line(20, 40, 100, 40);
    const QRect r = inkExtent(s.image());
    EXPECT_NEAR(r.height(), 6, 1);
    EXPECT_LE(r.left(), 18); // round caps reach beyond the ends
    EXPECT_GE(r.right(), 102);
}

TEST_F(SurfaceTest, MaskPenAndsThePenColourIntoThePicture) {
    QImage img = whitePicture(40, 10);
    for (int x = 0; x < 40; ++x) {
        img.setPixel(x, 1, qRgb(0, 0, 0));
        img.setPixel(x, 2, qRgb(128, 128, 128));
    }
    s.setPicture(img);
    s.setPenColor(kYellow);
    s.setDrawMode(DrawMode::MaskPen);
    s.setPenWidth(1);
    for (int y = 0; y <= 3; ++y)
        s.line(0, y, 39, y);
    EXPECT_EQ(s.colorAt(5, 0), kYellow);     // white turns yellow
    EXPECT_EQ(s.colorAt(5, 1), kBlack);      // dark stays dark
    EXPECT_EQ(s.colorAt(5, 2), 0x00008080u); // blue cleared
    EXPECT_EQ(qAlpha(s.image().pixel(5, 2)), 255);
    const QImage once = s.image().copy();
    for (int y = 0; y <= 3; ++y)
        s.line(0, y, 39, y);
    EXPECT_EQ(s.image(), once); // twice is the same as once
}

TEST_F(SurfaceTest, WhiteModePaintsWhiteWhateverTheColour) {
    s.setPicture(QImage(20, 20, QImage::Format_RGB32));
    s.image().fill(qRgb(0, 0, 255));
    s.setDrawMode(DrawMode::White);
    s.setPenWidth(3);
    s.line(2, 10, 17, 10);
    EXPECT_EQ(s.colorAt(10, 10), kWhite);
    EXPECT_EQ(s.colorAt(10, 2), kBlue);
    EXPECT_EQ(countColour(s.image(), kRed), 0);
}

TEST_F(SurfaceTest, BoxOutlineIsTheSameForCornersInAnyOrder) {
    s.box(10, 10, 40, 30, kBlue);
    const QImage a = s.image().copy();
    EXPECT_EQ(inkExtent(a), QRect(QPoint(10, 10), QPoint(40, 30)));
    EXPECT_EQ(at(a, 10, 20), kBlue);
    EXPECT_EQ(at(a, 40, 20), kBlue);
    EXPECT_EQ(at(a, 25, 10), kBlue);
    EXPECT_EQ(at(a, 25, 30), kBlue);
    EXPECT_EQ(at(a, 25, 20), kWhite); // inside untouched
    SetUp();
    s.box(40, 30, 10, 10, kBlue);
    EXPECT_EQ(s.image(), a);
    SetUp();
    s.box(40, 10, 10, 30, kBlue);
    EXPECT_EQ(s.image(), a);
}

TEST_F(SurfaceTest, WideBoxIsCentredOnItsEdgesAndADegenerateOneIsADot) {
    s.setPenWidth(3);
    s.box(20, 20, 60, 50, kBlue);
    EXPECT_EQ(inkExtent(s.image()), QRect(QPoint(19, 19), QPoint(61, 51)));
    EXPECT_EQ(s.colorAt(22, 30), kWhite);
    EXPECT_EQ(s.colorAt(21, 30), kBlue);
    SetUp();
    s.setPenWidth(4);
    s.box(30, 30, 30, 30, kBlue);
    EXPECT_EQ(inkExtent(s.image()).size(), QSize(4, 4));
}

TEST_F(SurfaceTest, DottedBoxIsOnePixelAndBroken) {
    s.setDrawStyle(DrawStyle::Dotted);
    s.box(10, 10, 70, 40, kBlue);
    EXPECT_EQ(inkExtent(s.image()), QRect(QPoint(10, 10), QPoint(70, 40)));
    int set = 0;
    for (int x = 10; x <= 70; ++x)
        set += s.colorAt(x, 10) == kBlue;
    EXPECT_GT(set, 15);
    EXPECT_LT(set, 50);
    EXPECT_EQ(s.colorAt(10, 11) == kBlue || s.colorAt(11, 10) == kBlue, true);
}

TEST_F(SurfaceTest, FilledBoxCoversBothCornersThroughTheDrawMode) {
    s.filledBox(50, 40, 20, 10, kBlue);
    EXPECT_EQ(inkExtent(s.image()), QRect(QPoint(20, 10), QPoint(50, 40)));
    EXPECT_EQ(countColour(s.image(), kBlue), 31 * 31);
    s.setDrawMode(DrawMode::MaskPen);
    s.filledBox(0, 0, 119, 89, kYellow);
    EXPECT_EQ(s.colorAt(30, 20), kBlack); // blue AND yellow
    EXPECT_EQ(s.colorAt(5, 5), kYellow);
}

TEST_F(SurfaceTest, ClosedSectorIsFilledOnlyWhenFillIsSolid) {
    // Pie slice around the direction pointing left (screen angle pi).
    const double pi = std::numbers::pi;
    s.setScaleMode(ScaleMode::Twips);
    s.setFillStyle(FillStyle::Solid);
    s.setFillColor(kRed);
    s.circleSector(60 * 15, 45 * 15, 30 * 15, -(pi - 0.3), -(pi + 0.3));
    EXPECT_EQ(s.colorAt(45, 45), kRed);   // inside, on the axis
    EXPECT_EQ(s.colorAt(45, 48), kRed);   // inside, off the axis
    EXPECT_EQ(s.colorAt(75, 45), kWhite); // opposite side
    EXPECT_EQ(s.colorAt(45, 30), kWhite); // outside the opening
    const QRect r = inkExtent(s.image());
    EXPECT_NEAR(r.left(), 30, 1);
    EXPECT_NEAR(r.right(), 60, 1);

    SetUp();
    s.setScaleMode(ScaleMode::Twips);
    s.setFillStyle(FillStyle::Transparent);
    s.circleSector(60 * 15, 45 * 15, 30 * 15, -(pi - 0.3), -(pi + 0.3));
    EXPECT_EQ(s.colorAt(45, 45), kWhite);
    EXPECT_NEAR(inkExtent(s.image()).left(), 30, 1); // the arc
}

TEST_F(SurfaceTest, SectorOutsideTheAngleRangeDrawsNothing) {
    s.circleSector(60, 45, 20, -7.0, -1.0);
    EXPECT_TRUE(inkExtent(s.image()).isNull());
}

TEST_F(SurfaceTest, PrintedTextStartsAtThePenPositionAndMovesItDown) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(12);
    s.setFont(f);
    s.movePenTo(20, 30);
    s.printText(QStringLiteral("WWW"));
    const QRect r = extent(s.image(), [](QRgb p) { return qGreen(p) < 128; });
    ASSERT_FALSE(r.isNull());
    EXPECT_GE(r.left(), 20);
    EXPECT_LE(r.left(), 23);
    EXPECT_GE(r.top(), 30);
    EXPECT_LE(r.top(), 36);
    EXPECT_DOUBLE_EQ(s.penX(), 0);
    EXPECT_GT(s.penY(), 40);
}

TEST_F(SurfaceTest, RoundRectHasRoundCornersAndAnEmptyInterior) {
    s.setPenWidth(1);
    s.roundRect(10, 10, 71, 51, 20, 20);
    EXPECT_EQ(inkExtent(s.image()), QRect(QPoint(10, 10), QPoint(70, 50)));
    EXPECT_EQ(s.colorAt(40, 10), kRed);
    EXPECT_EQ(s.colorAt(10, 30), kRed);
    EXPECT_EQ(s.colorAt(10, 10), kWhite); // rounded corner
    EXPECT_EQ(s.colorAt(12, 12), kWhite);
    EXPECT_EQ(s.colorAt(40, 30), kWhite);
    SetUp();
    s.roundRect(71, 51, 10, 10, 20, 20);
    EXPECT_EQ(inkExtent(s.image()), QRect(QPoint(10, 10), QPoint(70, 50)));
}

TEST_F(SurfaceTest, ArcWithEqualEndsIsTheWholeEllipseOutline) {
    s.ellipseArc(20, 10, 81, 61, 0, 0, 0, 0);
    EXPECT_EQ(inkExtent(s.image()), QRect(QPoint(20, 10), QPoint(80, 60)));
    EXPECT_EQ(s.colorAt(50, 10), kRed);
    EXPECT_EQ(s.colorAt(50, 60), kRed);
    EXPECT_EQ(s.colorAt(20, 35), kRed);
    EXPECT_EQ(s.colorAt(21, 11), kWhite);
    EXPECT_EQ(s.colorAt(50, 35), kWhite);
}

TEST_F(SurfaceTest, FlatArcIsASegment) {
    s.setPenWidth(2);
    s.ellipseArc(30, 10, 30, 50, 0, 0, 0, 0);
    const QRect r = inkExtent(s.image());
    EXPECT_LE(r.width(), 3);
    EXPECT_GE(r.height(), 38);
}

TEST_F(SurfaceTest, ChangedRectCoversWhatWasDrawn) {
    s.takeChangedRect();
    s.line(10, 10, 30, 12);
    const QRect changed = s.takeChangedRect();
    EXPECT_TRUE(changed.contains(inkExtent(s.image())));
    EXPECT_TRUE(s.takeChangedRect().isNull());
}

} // namespace
} // namespace kamsulo::annotate
