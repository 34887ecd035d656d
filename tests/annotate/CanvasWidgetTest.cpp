// The canvas widget on a real display, driven with mouse and key events.
#include "FakeCanvasHost.h"
#include "PixelHelpers.h"
#include "annotate/Canvas.h"
#include "platform/Twips.h"
#include "support/modal.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace kamsulo::annotate {
namespace {
using namespace test;

class CanvasWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setTwipsPerPixelOverride(15);
        window = std::make_unique<QWidget>();
        window->resize(700, 500);
        viewport = new QWidget(window.get());
        viewport->setGeometry(10, 10, 640, 440);
        canvas = new Canvas(host, viewport);
        host.viewport = viewport->size();
        host.onPan = [this] { canvas->move(host.canvasPos); };
        usePicture(whitePicture(400, 300));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        canvas->setFocus();
    }
    void TearDown() override {
        window.reset();
        platform::setTwipsPerPixelOverride(0);
    }
    void usePicture(const QImage& img) {
        canvas->setPicture(img);
        canvas->newPictureReset();
    }
    void select(ToolId tool) {
        host.tool = tool;
        canvas->setScaleMode(tool == ToolId::Pipette || tool == ToolId::RoundRect
                                 ? ScaleMode::Pixels
                                 : ScaleMode::Twips);
        canvas->resetLineStart();
    }
    // A move with buttons held (QTest::mouseMove carries no buttons).
    void moveTo(QPoint p, Qt::MouseButtons buttons = Qt::LeftButton,
                Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), canvas->mapToGlobal(QPointF(p)), Qt::NoButton,
                      buttons, mods);
        QApplication::sendEvent(canvas, &e);
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mousePress(canvas, button, mods, from);
        moveTo((from + to) / 2, button, mods);
        moveTo(to, button, mods);
        QTest::mouseRelease(canvas, button, mods, to);
    }
    const QImage& image() const { return canvas->image(); }
    quint32 pixel(int x, int y) const { return at(image(), x, y); }

    FakeCanvasHost host;
    std::unique_ptr<QWidget> window;
    QWidget* viewport = nullptr;
    Canvas* canvas = nullptr;
};

TEST_F(CanvasWidgetTest, SizesItselfToItsPictureWithoutBorder) {
    EXPECT_EQ(canvas->size(), QSize(400, 300));
    usePicture(whitePicture(123, 45));
    EXPECT_EQ(canvas->size(), QSize(123, 45));
    EXPECT_EQ(canvas->pointerShape(), PointerShape::ToolIcon);
    EXPECT_EQ(canvas->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(CanvasWidgetTest, RectangleDraggedUpLeftEqualsDownRight) {
    select(ToolId::Rectangle);
    drag({50, 40}, {200, 150});
    const QImage downRight = image().copy();
    EXPECT_EQ(pixel(120, 40), kRed);
    usePicture(whitePicture(400, 300));
    drag({200, 150}, {50, 40});
    EXPECT_EQ(image(), downRight);
    EXPECT_TRUE(host.drawn);
    EXPECT_EQ(canvas->undoReadSlot(), 1);
}

TEST_F(CanvasWidgetTest, AClickLeavesADotOfThePenWidth) {
    select(ToolId::Freehand);
    canvas->setPenWidth(6);
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    const QRect r = inkExtent(image());
    EXPECT_EQ(r.width(), 6);
    EXPECT_EQ(r.height(), 6);
    EXPECT_TRUE(r.contains(100, 100));
}

TEST_F(CanvasWidgetTest, FreehandFollowsTheDragAndUndoTakesTheStrokeBack) {
    select(ToolId::Freehand);
    drag({20, 20}, {220, 120});
    EXPECT_EQ(pixel(120, 70), kRed);
    canvas->undo();
    EXPECT_TRUE(inkExtent(image()).isNull());
    EXPECT_EQ(canvas->undoReadSlot(), 5);
}

TEST_F(CanvasWidgetTest, HighlighterYellowOverWhiteAndDarkText) {
    QImage pic = whitePicture(400, 300);
    {
        QPainter p(&pic);
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 20, QFont::Bold));
        p.drawText(QRect(40, 80, 300, 60), Qt::AlignLeft, QStringLiteral("Hallo Welt"));
    }
    usePicture(pic);
    host.colour = kYellow;
    select(ToolId::Marker);
    canvas->setPenWidth(4);
    drag({20, 100}, {380, 100});
    const QImage once = image().copy();
    EXPECT_EQ(pixel(10 + 20, 100), kYellow);
    int dark = 0;
    for (int x = 40; x < 300; ++x)
        dark += qGray(image().pixel(x, 100)) < 60;
    EXPECT_GT(dark, 5); // the text stays dark under the yellow
    drag({20, 100}, {380, 100});
    EXPECT_EQ(image(), once); // twice is the same as once
    EXPECT_EQ(canvas->penWidth(), 4);
}

TEST_F(CanvasWidgetTest, EraserLeavesWhite) {
    QImage pic(400, 300, QImage::Format_RGB32);
    pic.fill(QColor(30, 90, 200));
    usePicture(pic);
    select(ToolId::Eraser);
    drag({50, 150}, {350, 150});
    EXPECT_EQ(pixel(200, 150), kWhite);
    const QRect white = extent(image(), [](QRgb p) { return (p & 0xFFFFFF) == 0xFFFFFF; });
    EXPECT_NEAR(white.height(), 12, 1); // 12 pixels whatever the palette's width
    EXPECT_EQ(canvas->surface().drawMode(), DrawMode::CopyPen);
}

TEST_F(CanvasWidgetTest, PipettePicksAMarkingAndFollowsOnlyALeftDrag) {
    select(ToolId::Rectangle);
    host.colour = kBlue;
    canvas->setPenWidth(6);
    drag({100, 100}, {200, 200});
    host.colour = kRed;
    select(ToolId::Pipette);
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(100, 150));
    EXPECT_EQ(host.colour, kBlue); // the marking's colour, not the picture's
    drag({150, 150}, {100, 120}, Qt::LeftButton);
    EXPECT_EQ(host.colour, kBlue); // followed onto the frame
    drag({150, 150}, {100, 120}, Qt::RightButton);
    EXPECT_EQ(host.colour, kWhite); // the press picks, the right drag does not follow
    EXPECT_EQ(canvas->undoWriteSlot(), 1);
}

TEST_F(CanvasWidgetTest, ModifiersNeverDrawAndPanWithinTheLimits) {
    usePicture(whitePicture(1000, 300)); // wider than the viewport, not taller
    select(ToolId::Freehand);
    const QImage before = image().copy();
    for (Qt::KeyboardModifier mod : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        QTest::mousePress(canvas, Qt::LeftButton, mod, QPoint(300, 100));
        EXPECT_EQ(canvas->pointerShape(), PointerShape::SizeAll);
        EXPECT_EQ(canvas->cursor().shape(), Qt::SizeAllCursor);
        QPoint global = canvas->mapToGlobal(QPoint(300, 100));
        for (int dx : {-100, -250, -500, 300}) {
            global += QPoint(dx, 40);
            moveTo(canvas->mapFromGlobal(global), Qt::LeftButton, mod);
            EXPECT_LE(canvas->x(), 0);
            EXPECT_GE(canvas->x(), 640 - 1000);
            EXPECT_EQ(canvas->y(), 0);
        }
        QTest::mouseRelease(canvas, Qt::LeftButton, mod, canvas->mapFromGlobal(global));
        EXPECT_EQ(canvas->pointerShape(), PointerShape::ToolIcon);
    }
    EXPECT_EQ(image(), before);
    EXPECT_EQ(canvas->undoWriteSlot(), 0);
    EXPECT_GT(host.horizontalPans, 0);
    EXPECT_EQ(host.verticalPans, 0);
}

TEST_F(CanvasWidgetTest, PanMovesThePictureByThePointersDisplacement) {
    usePicture(whitePicture(1000, 900));
    select(ToolId::Line);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::ControlModifier, QPoint(400, 400));
    const QPoint global = canvas->mapToGlobal(QPoint(400, 400));
    moveTo(canvas->mapFromGlobal(global + QPoint(-70, -30)), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(canvas->pos(), QPoint(-70, -30));
    moveTo(canvas->mapFromGlobal(global + QPoint(-90, -50)), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(canvas->pos(), QPoint(-90, -50));
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::ControlModifier, QPoint(400, 400));
}

TEST_F(CanvasWidgetTest, ShiftKeyDeselectsEveryToolAndSetsTheCursors) {
    select(ToolId::Rectangle);
    QTest::keyPress(canvas, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(host.tool, ToolId::None);
    EXPECT_EQ(canvas->cursor().shape(), Qt::SizeAllCursor);
    QTest::keyRelease(canvas, Qt::Key_Shift);
    EXPECT_EQ(canvas->cursor().shape(), Qt::ArrowCursor);
    drag({10, 10}, {100, 100});
    EXPECT_TRUE(inkExtent(image()).isNull());
    canvas->setCursorIcon(CursorIcon::Text);
    EXPECT_EQ(canvas->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(CanvasWidgetTest, CaptionShowsPixelsInBothScales) {
    select(ToolId::Line);
    moveTo({120, 45}, Qt::NoButton);
    EXPECT_EQ(host.captionText, QStringLiteral("Kamsulo   X=120  :  Y=45"));
    select(ToolId::Pipette);
    moveTo({121, 46}, Qt::NoButton);
    EXPECT_EQ(host.captionText, QStringLiteral("Kamsulo   X=121  :  Y=46"));
    canvas->pointerOverViewport();
    EXPECT_EQ(host.captionText, QStringLiteral("Kamsulo"));
}

TEST_F(CanvasWidgetTest, PreviewFloatsOverThePictureWithoutTouchingIt) {
    select(ToolId::Rectangle);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    moveTo({150, 120});
    EXPECT_TRUE(canvas->controller().previews().box.isVisible());
    EXPECT_TRUE(inkExtent(image()).isNull());
    const QImage onScreen = canvas->grab().toImage();
    EXPECT_NE((onScreen.pixel(150, 90) & 0xFFFFFF), 0xFFFFFFu); // the outline shows
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(150, 120));
    EXPECT_FALSE(canvas->controller().previews().box.isVisible());
}

TEST_F(CanvasWidgetTest, FilledArrowWedgeIsFilledInThePenColour) {
    select(ToolId::FilledArrow);
    host.colour = kBlue;
    canvas->setPenWidth(1);
    drag({300, 150}, {50, 150});
    EXPECT_EQ(pixel(290, 153), kBlue);
    EXPECT_EQ(pixel(290, 147), kBlue);
    EXPECT_EQ(pixel(60, 153), kWhite);
    EXPECT_EQ(canvas->surface().fillStyle(), FillStyle::Transparent);
}

TEST_F(CanvasWidgetTest, OvalDraggedUpLeftHasZeroWidth) {
    select(ToolId::Oval);
    canvas->setPenWidth(1);
    drag({200, 200}, {100, 100});
    const QRect r = inkExtent(image());
    EXPECT_LE(r.width(), 1);
    EXPECT_LE(r.height(), 1);
    EXPECT_EQ(canvas->scaleMode(), ScaleMode::Twips);
    usePicture(whitePicture(400, 300));
    drag({100, 100}, {200, 160});
    EXPECT_EQ(inkExtent(image()), QRect(QPoint(100, 100), QPoint(199, 159)));
}

TEST_F(CanvasWidgetTest, DottedFrameIsOnePixelAndTheWidthComesBack) {
    select(ToolId::DottedRect);
    canvas->setPenWidth(5);
    drag({50, 50}, {250, 200});
    EXPECT_EQ(inkExtent(image()), QRect(QPoint(50, 50), QPoint(250, 200)));
    int onTop = 0;
    for (int x = 50; x <= 250; ++x)
        onTop += pixel(x, 50) == kRed;
    EXPECT_LT(onTop, 190); // dotted, not solid
    EXPECT_EQ(canvas->penWidth(), 5);
    EXPECT_EQ(canvas->surface().drawStyle(), DrawStyle::Solid);
}

TEST_F(CanvasWidgetTest, RoundRectangleAfterAnArrowIsNotFilled) {
    select(ToolId::Arrow);
    drag({300, 250}, {50, 250});
    select(ToolId::FilledArrow);
    drag({300, 280}, {50, 280});
    select(ToolId::RoundRect);
    drag({50, 50}, {250, 200});
    EXPECT_EQ(pixel(150, 50), kRed);
    EXPECT_EQ(pixel(150, 120), kWhite);
}

TEST_F(CanvasWidgetTest, TransparentRectangleKeepsDetailOpaqueOneHidesIt) {
    QImage pic = whitePicture(400, 300);
    QPainter(&pic).fillRect(100, 100, 20, 20, Qt::black);
    usePicture(pic);
    host.colour = kYellow;
    select(ToolId::TransparentRect);
    drag({80, 80}, {200, 200}, Qt::LeftButton);
    EXPECT_EQ(pixel(110, 110), kBlack);
    EXPECT_EQ(pixel(150, 150), kYellow);
    drag({80, 80}, {200, 200}, Qt::RightButton);
    EXPECT_EQ(pixel(110, 110), kYellow);
}

TEST_F(CanvasWidgetTest, LineClickDrawsNothing) {
    select(ToolId::Line);
    drag({20, 20}, {200, 20});
    const QImage before = image().copy();
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(image(), before);
    EXPECT_EQ(canvas->undoWriteSlot(), 1);
}

TEST_F(CanvasWidgetTest, TextToolOpensTheDialogAndPrintsWhereTheCanvasWasPressed) {
    select(ToolId::Text);
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
    EXPECT_EQ(host.textDialogs, 1);
    EXPECT_EQ(canvas->undoWriteSlot(), 1);
    EXPECT_EQ(canvas->textPosX(), QStringLiteral("1500"));
    EXPECT_EQ(canvas->textPosY(), QStringLiteral("1200"));
    // What the dialog's OK does through CanvasTarget.
    CanvasTarget& target = *canvas;
    target.setPenColor(kBlue);
    target.movePenTo(canvas->textPosX().toDouble(), canvas->textPosY().toDouble() - 100);
    target.printText(QStringLiteral("Hallo"));
    const QRect r = inkExtent(image());
    ASSERT_FALSE(r.isNull());
    EXPECT_GE(r.left(), 100);
    EXPECT_LE(r.left(), 104);
    EXPECT_GE(r.top(), 73);
    canvas->undo();
    host.drawn = true;
    canvas->undo(); // slot 5 of the new picture
    EXPECT_TRUE(inkExtent(image()).isNull());
}

TEST_F(CanvasWidgetTest, ClearAllAsksAndOnlyYesClears) {
    select(ToolId::Rectangle);
    drag({50, 50}, {150, 150});
    host.tool = ToolId::None;
    const QImage marked = image().copy();
    QString text, title;
    kamsulo::test::whenModal([&](QWidget* box) {
        text = kamsulo::test::boxText(box);
        title = box->windowTitle();
        kamsulo::test::pressButton(box, QStringLiteral("Nein"));
    });
    QTest::mouseDClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(text, QStringLiteral("Möchten sie wirklich alle Markierungen löschen?"));
    EXPECT_EQ(title, QStringLiteral("Kamsulo - Kontrollabfrage"));
    EXPECT_EQ(image(), marked);
    EXPECT_EQ(canvas->undoReadSlot(), 1);

    kamsulo::test::whenModal(
        [](QWidget* box) { kamsulo::test::pressButton(box, QStringLiteral("Ja")); });
    QTest::mouseDClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_TRUE(inkExtent(image()).isNull());
    EXPECT_EQ(canvas->undoReadSlot(), 0);
    EXPECT_EQ(canvas->undoWriteSlot(), 1);
    canvas->undo(); // nothing to restore: read slot goes to 5
    EXPECT_TRUE(inkExtent(image()).isNull());
    EXPECT_EQ(canvas->undoReadSlot(), 5);
}

TEST_F(CanvasWidgetTest, CaptureHandOverKeepsTheIndexesAndRestoresItsSize) {
    select(ToolId::Rectangle);
    drag({50, 50}, {150, 150});
    canvas->takeCapture(whitePicture(200, 100));
    EXPECT_EQ(canvas->size(), QSize(200, 100));
    EXPECT_EQ(canvas->undoWriteSlot(), 1);
    canvas->setPicture(whitePicture(50, 50));
    kamsulo::test::whenModal(
        [](QWidget* box) { kamsulo::test::pressButton(box, QStringLiteral("Ja")); });
    canvas->askToClearAll();
    EXPECT_EQ(canvas->size(), QSize(200, 100));
}

} // namespace
} // namespace kamsulo::annotate
