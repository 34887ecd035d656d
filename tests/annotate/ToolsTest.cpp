#include "CanvasFixture.h"
#include "annotate/Rounding.h"

#include <QPainter>

namespace kamsulo::annotate {
namespace {
using namespace test;

using ToolsTest = CanvasFixture;

struct Attributes {
    DrawMode mode;
    int width;
    DrawStyle style;
    FillStyle fillStyle;
    quint32 fillColor;
    ScaleMode scale;
    bool operator==(const Attributes&) const = default;
};
Attributes attributesOf(const CanvasSurface& s) {
    return {s.drawMode(), s.penWidth(), s.drawStyle(), s.fillStyle(), s.fillColor(), s.scaleMode()};
}

TEST_F(ToolsTest, EveryToolLeavesThePenAsItFoundIt) {
    for (int position = 0; position < kToolCount; ++position) {
        const ToolId tool = toolAt(position);
        SetUp();
        select(tool);
        surface.setPenWidth(3);
        const Attributes before = attributesOf(surface);
        drag({20, 20}, {90, 70});
        Attributes expected = before;
        EXPECT_EQ(attributesOf(surface), expected) << tool;
    }
}

TEST_F(ToolsTest, ToolsPutBackTheirOwnNormalValuesWhereTheyKeepNone) {
    // Dotted rectangle: solid again. Arrows: transparent fill, fill colour 0. Oval: twips.
    select(ToolId::DottedRect);
    surface.setDrawStyle(DrawStyle::Dotted);
    drag({20, 20}, {60, 60});
    EXPECT_EQ(surface.drawStyle(), DrawStyle::Solid);
    for (ToolId tool : {ToolId::Arrow, ToolId::FilledArrow}) {
        select(tool);
        surface.setFillStyle(FillStyle::Solid);
        surface.setFillColor(0x123456);
        drag({30, 30}, {120, 90});
        EXPECT_EQ(surface.fillStyle(), FillStyle::Transparent) << tool;
        EXPECT_EQ(surface.fillColor(), 0u) << tool;
    }
    select(ToolId::Oval);
    surface.setScaleMode(ScaleMode::Pixels);
    drag({20, 20}, {60, 60});
    EXPECT_EQ(surface.scaleMode(), ScaleMode::Twips);
}

TEST_F(ToolsTest, StrokesSnapshotAtThePressAndShapesAtTheRelease) {
    QImage before = image().copy();
    select(ToolId::Freehand);
    press({10, 10});
    EXPECT_EQ(ring.undoWriteSlot(), 1);
    EXPECT_EQ(ring.snapshot(1).toImage(), before);
    EXPECT_NE(image(), before); // the dot
    move({40, 10});
    move({40, 40});
    release({40, 40});
    EXPECT_EQ(ring.undoWriteSlot(), 1); // one stroke, one snapshot
    EXPECT_TRUE(host.drawn);

    for (ToolId tool :
         {ToolId::Rectangle, ToolId::DottedRect, ToolId::RoundRect, ToolId::TransparentRect,
          ToolId::Line, ToolId::FilledArrow, ToolId::Arrow, ToolId::Oval}) {
        select(tool);
        surface.setPicture(whitePicture(200, 150));
        const int slot = ring.undoWriteSlot();
        before = image().copy();
        press({50, 50});
        move({80, 90});
        move({100, 120});
        EXPECT_EQ(ring.undoWriteSlot(), slot) << tool;
        EXPECT_EQ(image(), before) << tool; // previews only
        release({100, 120});
        EXPECT_EQ(ring.undoWriteSlot(), slot % 5 + 1) << tool;
        EXPECT_EQ(ring.snapshot(ring.undoWriteSlot()).toImage(), before) << tool;
        EXPECT_NE(image(), before) << tool;
    }
}

TEST_F(ToolsTest, ClickWithoutDragDrawsNothingForLinesArrowsAndOval) {
    for (ToolId tool : {ToolId::Line, ToolId::FilledArrow, ToolId::Arrow, ToolId::Oval}) {
        select(tool);
        drag({30, 30}, {90, 60}); // leaves line / ellipse with old geometry
        const QImage before = image().copy();
        const int slot = ring.undoWriteSlot();
        press({50, 50});
        release({50, 50});
        EXPECT_EQ(image(), before) << tool;
        EXPECT_EQ(ring.undoWriteSlot(), slot) << tool;
        EXPECT_EQ(controller.state().lineStartX, 0);
    }
}

TEST_F(ToolsTest, RectangleClickIsADotOfThePenWidth) {
    select(ToolId::Rectangle);
    surface.setPenWidth(4);
    press({50, 50});
    release({50, 50});
    EXPECT_EQ(inkExtent(image()).size(), QSize(4, 4));
}

TEST_F(ToolsTest, RectangleUsesTheLastMoveNotTheReleasePoint) {
    select(ToolId::Rectangle);
    press({20, 20});
    move({60, 50});
    release({150, 120});
    EXPECT_EQ(inkExtent(image()), QRect(QPoint(19, 19), QPoint(60, 50)));
}

TEST_F(ToolsTest, HighlighterIsThreeTimesTheWidthAndMasks) {
    QImage pic = whitePicture(200, 150);
    QPainter(&pic).fillRect(0, 60, 200, 4, Qt::black);
    usePicture(pic);
    host.colour = kYellow;
    select(ToolId::Marker);
    surface.setPenWidth(4);
    drag({20, 40}, {180, 40});
    const QRect r = extent(image(), [](QRgb p) { return (p & 0xFFFFFF) == 0xFFFF00; });
    EXPECT_NEAR(r.height(), 12, 1);
    EXPECT_EQ(surface.penWidth(), 4);
    drag({100, 20}, {100, 100}); // across the black bar
    EXPECT_EQ(surface.colorAt(100, 61), kBlack);
    EXPECT_EQ(surface.colorAt(100, 30), kYellow);
}

TEST_F(ToolsTest, OpenArrowHasItsHeadAtThePress) {
    select(ToolId::Arrow);
    surface.setPenWidth(1);
    drag({150, 60}, {30, 60});
    // Head at (150,60): strokes back towards the tail; the tail's V points the same way.
    EXPECT_EQ(surface.colorAt(141, 69), kRed);
    EXPECT_EQ(surface.colorAt(141, 51), kRed);
    EXPECT_EQ(surface.colorAt(21, 69), kRed);
    EXPECT_EQ(surface.colorAt(159, 69), kWhite);
}

TEST_F(ToolsTest, LineStartAtTheOriginCountsAsUnset) {
    select(ToolId::Line);
    surface.setPenWidth(1);
    press({0, 0});
    move({50, 40});
    move({100, 40});
    release({100, 40});
    EXPECT_EQ(inkExtent(image()), QRect(QPoint(50, 40), QPoint(100, 40)));
}

TEST_F(ToolsTest, PipettePicksOnAnyPressButFollowsOnlyALeftDrag) {
    QImage pic = whitePicture(200, 150);
    QPainter(&pic).fillRect(10, 10, 20, 20, QColor(0, 128, 255));
    QPainter(&pic).fillRect(100, 10, 20, 20, QColor(10, 20, 30));
    usePicture(pic);
    select(ToolId::Pipette);
    press({15, 15}, ButtonRight);
    EXPECT_EQ(host.colour, 0x00FF8000u);
    move({105, 15}, ButtonRight);
    EXPECT_EQ(host.colour, 0x00FF8000u);
    release({105, 15}, ButtonRight);
    press({50, 50});
    EXPECT_EQ(host.colour, kWhite);
    move({105, 15});
    EXPECT_EQ(host.colour, 0x001E140Au);
    move({500, 15}); // outside: keeps the colour
    EXPECT_EQ(host.colour, 0x001E140Au);
    release({500, 15});
    EXPECT_EQ(ring.undoWriteSlot(), 0);
    EXPECT_FALSE(host.drawn);
}

TEST_F(ToolsTest, TextPressTakesASnapshotAndOpensTheDialog) {
    select(ToolId::Text);
    host.colour = kBlue;
    surface.setPenColor(kRed);
    press({30, 40}, ButtonRight);
    EXPECT_EQ(host.textDialogs, 1);
    EXPECT_EQ(ring.undoWriteSlot(), 1);
    EXPECT_EQ(surface.penColor(), kRed); // the press ends before taking the colour
    EXPECT_EQ(controller.textPosX(), QStringLiteral("450"));
    EXPECT_EQ(controller.textPosY(), QStringLiteral("600"));
}

TEST(RoundEven, TiesGoToEven) {
    EXPECT_EQ(roundEven(2.5), 2);
    EXPECT_EQ(roundEven(3.5), 4);
    EXPECT_EQ(roundEven(-2.5), -2);
    EXPECT_EQ(roundEven(1e300), 0);
}

} // namespace
} // namespace kamsulo::annotate
