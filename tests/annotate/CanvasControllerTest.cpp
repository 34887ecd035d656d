#include "CanvasFixture.h"

namespace kamsulo::annotate {
namespace {
using namespace test;

using ControllerTest = CanvasFixture;

TEST_F(ControllerTest, CaptionShowsWholePixelsInBothScales) {
    controller.pointerMove(0, 0, 1800, 675);
    EXPECT_EQ(host.captionText, QStringLiteral("Kamsulo   X=120  :  Y=45"));
    controller.pointerMove(0, 0, 1814, 689); // truncated, not rounded
    EXPECT_EQ(host.captionText, QStringLiteral("Kamsulo   X=120  :  Y=45"));
    surface.setScaleMode(ScaleMode::Pixels);
    controller.pointerMove(0, 0, 120.5, 44.6);
    EXPECT_EQ(host.captionText, QStringLiteral("Kamsulo   X=120  :  Y=45"));
    EXPECT_EQ(host.highlightClears, 3);
    EXPECT_EQ(host.toolTips, 3);
    controller.pointerOverViewport();
    EXPECT_EQ(host.captionText, QStringLiteral("Kamsulo"));
    const int sets = host.captionSets;
    controller.pointerOverViewport();
    EXPECT_EQ(host.captionSets, sets); // only written when it differs
}

TEST_F(ControllerTest, TextPositionFollowsEveryPress) {
    EXPECT_EQ(controller.textPosX(), QStringLiteral("500"));
    select(ToolId::Rectangle);
    press({12, 34}, ButtonRight, ModCtrl);
    EXPECT_EQ(controller.textPosX(), QStringLiteral("180"));
    EXPECT_EQ(controller.textPosY(), QStringLiteral("510"));
    controller.pointerDown(ButtonLeft, 0, 12.5, 7.25);
    EXPECT_EQ(controller.textPosX(), QStringLiteral("12.5"));
    EXPECT_EQ(controller.textPosY(), QStringLiteral("7.25"));
}

TEST_F(ControllerTest, ModifiersNeverDrawAndKeepThePreview) {
    for (int mods : {ModShift, ModCtrl, ModAlt}) {
        for (int position = 0; position < kToolCount; ++position) {
            const ToolId tool = toolAt(position);
            select(tool);
            const QImage before = image().copy();
            drag({20, 20}, {80, 70}, ButtonLeft, mods);
            EXPECT_EQ(image(), before) << tool << " " << mods;
            EXPECT_EQ(ring.undoWriteSlot(), 0);
            EXPECT_EQ(host.textDialogs, 0);
        }
    }
    // A rectangle whose release comes with Ctrl held: no commit, preview stays.
    select(ToolId::Rectangle);
    press({20, 20});
    move({60, 60});
    release({60, 60}, ButtonLeft, ModCtrl);
    EXPECT_TRUE(controller.previews().box.isVisible());
    EXPECT_EQ(ring.undoWriteSlot(), 0);
    // ... and a later release without a press of its own commits nothing either.
    release({60, 60});
    EXPECT_EQ(ring.undoWriteSlot(), 0);
}

TEST_F(ControllerTest, PressWithoutModifierTakesTheCurrentColour) {
    host.tool = ToolId::None;
    host.colour = kBlue;
    press({5, 5});
    EXPECT_EQ(surface.penColor(), kBlue);
    EXPECT_EQ(controller.state().drawColor, kBlue);
    host.colour = kYellow;
    press({5, 5}, ButtonLeft, ModCtrl);
    EXPECT_EQ(surface.penColor(), kBlue);
}

TEST_F(ControllerTest, RightDragWithLineToolsDrawsNothingButKeepsTheStart) {
    for (ToolId tool : {ToolId::Line, ToolId::Oval, ToolId::FilledArrow, ToolId::Arrow}) {
        select(tool);
        drag({30, 40}, {90, 90}, ButtonRight);
        EXPECT_EQ(controller.state().lineStartX, 450) << tool;
        EXPECT_EQ(controller.state().lineStartY, 600) << tool;
    }
    EXPECT_EQ(ring.undoWriteSlot(), 0);
    EXPECT_TRUE(inkExtent(image()).isNull());
}

TEST_F(ControllerTest, PreviewsFollowThePointerWithoutTouchingThePicture) {
    select(ToolId::Rectangle);
    press({80, 60});
    EXPECT_TRUE(controller.previews().box.isVisible());
    move({30, 100});
    const Overlay& o = controller.previews().box;
    EXPECT_EQ(o.pixelBox(surface), QRect(30, 60, 50, 40));
    EXPECT_DOUBLE_EQ(o.left(surface), 450);
    EXPECT_TRUE(inkExtent(image()).isNull());
    release({30, 100});
    EXPECT_FALSE(o.isVisible());

    select(ToolId::Line);
    press({10, 10});
    move({50, 20});
    EXPECT_EQ(controller.previews().line.pixelLine(surface), QLine(10, 10, 50, 20));
    release({50, 20});
    EXPECT_FALSE(controller.previews().line.isVisible());

    select(ToolId::RoundRect);
    press({10, 10});
    move({40, 30});
    EXPECT_TRUE(controller.previews().roundedBox.isVisible());
    EXPECT_EQ(controller.previews().roundedBox.pixelBox(surface), QRect(10, 10, 30, 20));
}

TEST_F(ControllerTest, PanFollowsThePointerWithinItsLimits) {
    usePicture(whitePicture(1000, 300)); // wider, not taller than the viewport
    host.viewport = QSize(400, 500);
    host.tool = ToolId::Rectangle;
    host.onPan = [&] { controller.setCanvasPos(host.canvasPos); };
    // Positions are relative to the moving canvas, as the window delivers them.
    auto canvasX = [&](int viewportX) { return QPoint(viewportX - host.canvasPos.x(), 50); };
    press(canvasX(300), ButtonLeft, ModCtrl);
    EXPECT_EQ(controller.pointerShape(), PointerShape::SizeAll);
    EXPECT_EQ(controller.state().panRangeX, 600);
    EXPECT_EQ(controller.state().panRangeY, 200);
    move(canvasX(200), ButtonLeft, ModCtrl);
    EXPECT_EQ(host.canvasPos.x(), -100);
    move(canvasX(350), ButtonLeft, ModCtrl); // would go right of the origin
    EXPECT_EQ(host.canvasPos.x(), 0);
    move(canvasX(-600), ButtonLeft, ModCtrl); // beyond the excess width
    EXPECT_EQ(host.canvasPos.x(), -600);
    EXPECT_EQ(host.verticalPans, 0); // the picture fits vertically
    release(canvasX(-600), ButtonLeft, ModCtrl);
    EXPECT_EQ(controller.pointerShape(), PointerShape::ToolIcon);
    EXPECT_EQ(ring.undoWriteSlot(), 0);
}

TEST_F(ControllerTest, PanIsInPixelsWhateverTheScale) {
    usePicture(whitePicture(1000, 900));
    host.viewport = QSize(400, 300);
    select(ToolId::Pipette); // pixel scale
    host.onPan = [&] { controller.setCanvasPos(host.canvasPos); };
    press({100, 100}, ButtonLeft, ModShift);
    move({70, 60}, ButtonLeft, ModShift);
    EXPECT_EQ(host.canvasPos, QPoint(-30, -40));
    select(ToolId::Line); // twips
    press({100, 100}, ButtonLeft, ModAlt);
    move({90, 100}, ButtonLeft, ModAlt);
    EXPECT_EQ(host.canvasPos, QPoint(-40, -40));
}

TEST_F(ControllerTest, RightOrModifierFreeDragsDoNotPan) {
    usePicture(whitePicture(1000, 900));
    host.viewport = QSize(400, 300);
    host.tool = ToolId::None;
    press({100, 100}, ButtonRight, ModCtrl);
    move({50, 50}, ButtonRight, ModCtrl);
    press({100, 100});
    move({50, 50}, ButtonLeft, ModCtrl); // modifier only came during the drag
    EXPECT_EQ(host.horizontalPans + host.verticalPans, 0);
}

TEST_F(ControllerTest, ShiftDeselectsEveryToolAndSetsTheCursors) {
    select(ToolId::Freehand);
    controller.keyDown(Qt::Key_A, 0);
    EXPECT_EQ(host.tool, ToolId::Freehand);
    controller.keyDown(Qt::Key_Shift, ModShift);
    EXPECT_EQ(host.tool, ToolId::None);
    EXPECT_EQ(controller.pointerShape(), PointerShape::SizeAll);
    controller.keyUp(Qt::Key_Shift, 0);
    EXPECT_EQ(controller.pointerShape(), PointerShape::Default);
    // Without a tool a press draws nothing.
    drag({10, 10}, {50, 50});
    EXPECT_TRUE(inkExtent(image()).isNull());
    controller.setCursorIcon(CursorIcon::Freehand);
    EXPECT_EQ(controller.pointerShape(), PointerShape::ToolIcon);
    EXPECT_EQ(controller.cursorIcon(), CursorIcon::Freehand);
}

TEST_F(ControllerTest, StrokeSegmentsSetMarkingsDrawn) {
    select(ToolId::Freehand);
    press({10, 10});
    EXPECT_FALSE(host.drawn);
    move({20, 10});
    EXPECT_TRUE(host.drawn);
}

} // namespace
} // namespace kamsulo::annotate
