#include "annotate/forms/PaletteStrip.h"
#include "FakeCanvas.h"
#include "annotate/forms/ClickLabel.h"
#include "annotate/forms/PaletteBox.h"
#include "annotate/forms/ToolTable.h"
#include "platform/Twips.h"
#include "support/modal.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kamsulo::annotate;
using kamsulo::platform::twipsToPixelsX;
using kamsulo::platform::twipsToPixelsY;
using kamsulo::test::FakeCanvas;
using kamsulo::test::pressButton;
using kamsulo::test::whenModal;

namespace {

constexpr quint32 kRed = 0x000000FF, kYellow = 0x0000FFFF, kGreen = 0x0000FF00;

class PaletteStripTest : public ::testing::Test {
protected:
    void SetUp() override {
        kamsulo::platform::setTwipsPerPixelOverride(15);
        strip = std::make_unique<PaletteStrip>();
        strip->setCanvas(&canvas);
        strip->resize(600, strip->height());
        strip->setEnabled(true);
        strip->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(strip.get()));
    }
    void TearDown() override {
        strip.reset();
        kamsulo::platform::setTwipsPerPixelOverride(0);
    }

    void clickTool(ToolId tool) { QTest::mouseClick(strip->toolButton(tool), Qt::LeftButton); }
    void clickWidth(int index) { QTest::mouseClick(strip->widthButton(index), Qt::LeftButton); }
    // Presses the colour grid at a point given in its twips.
    void pressPalette(double xTwips, double yTwips, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(strip->colorGrid(), button, {},
                          QPoint(twipsToPixelsX(xTwips), twipsToPixelsY(yTwips)));
    }
    int framedWidth() const {
        int framed = -1, count = 0;
        for (int i = 0; i < 6; ++i)
            if (strip->widthButton(i)->frameShape() == QFrame::Box) {
                framed = i;
                ++count;
            }
        return count == 1 ? framed : -2;
    }

    FakeCanvas canvas;
    std::unique_ptr<PaletteStrip> strip;
};

} // namespace

TEST(PaletteStripStart, DesignState) {
    PaletteStrip strip;
    EXPECT_FALSE(strip.isEnabled());
    EXPECT_EQ(strip.toolTip(), QStringLiteral("Markierungs (Zeichenwerkzeuge)"));
    EXPECT_EQ(strip.selectedTool(), ToolId::Line);
    EXPECT_EQ(strip.currentColor(), kRed);
    EXPECT_EQ(strip.lineWidth(), 2);
    EXPECT_EQ(strip.widthButton(1)->frameShape(), QFrame::Box);
    EXPECT_EQ(strip.toolButton(ToolId::Marker)->toolTip(), QStringLiteral("\"TextMarker\" :-)"));
    EXPECT_EQ(strip.widthButton(5)->toolTip(), QStringLiteral("Liniendicke 6px"));
}

TEST_F(PaletteStripTest, HighlighterForcesYellowAndWidthFourButLeavesThePen) {
    pressPalette(80 + 160 * 2, 80); // green cell
    clickWidth(5);
    ASSERT_EQ(strip->currentColor(), 0x00008000u);
    ASSERT_EQ(canvas.width, 6);

    clickTool(ToolId::Marker);
    EXPECT_EQ(strip->selectedTool(), ToolId::Marker);
    EXPECT_EQ(strip->currentColor(), kYellow);
    EXPECT_EQ(canvas.width, 4);
    EXPECT_EQ(framedWidth(), 3);
    EXPECT_EQ(canvas.icon, CursorIcon::Marker);
    EXPECT_EQ(canvas.fore, 0x00008000u);
    EXPECT_EQ(canvas.drawColor, 0x00008000u);

    // Choosing it again after other choices forces the same again.
    pressPalette(80, 80);
    clickWidth(0);
    clickTool(ToolId::Marker);
    EXPECT_EQ(strip->currentColor(), kYellow);
    EXPECT_EQ(canvas.width, 4);
}

TEST_F(PaletteStripTest, PipetteAndRoundRectWorkInPixelsOthersInTwips) {
    const struct {
        ToolId tool;
        ScaleMode scale;
        CursorIcon icon;
    } cases[] = {
        {ToolId::Pipette, ScaleMode::Pixels, CursorIcon::Pipette},
        {ToolId::Line, ScaleMode::Twips, CursorIcon::Hand},
        {ToolId::RoundRect, ScaleMode::Pixels, CursorIcon::Hand},
        {ToolId::Freehand, ScaleMode::Twips, CursorIcon::Freehand},
        {ToolId::Pipette, ScaleMode::Pixels, CursorIcon::Pipette},
        {ToolId::Text, ScaleMode::Twips, CursorIcon::Text},
        {ToolId::Eraser, ScaleMode::Twips, CursorIcon::Eraser},
        {ToolId::DottedRect, ScaleMode::Twips, CursorIcon::Hand},
    };
    for (const auto& c : cases) {
        const int resets = canvas.lineStartResets, focus = canvas.focusCount;
        clickTool(c.tool);
        EXPECT_EQ(strip->selectedTool(), c.tool);
        EXPECT_EQ(canvas.scale, c.scale) << "tool " << positionOf(c.tool);
        EXPECT_EQ(canvas.icon, c.icon) << "tool " << positionOf(c.tool);
        EXPECT_EQ(canvas.lineStartResets, resets + 1);
        EXPECT_GT(canvas.focusCount, focus);
    }
    EXPECT_EQ(strip->currentColor(), kRed); // only the highlighter changes the colour
}

TEST_F(PaletteStripTest, DeselectingAndSelectingFromOutside) {
    strip->deselectAll();
    EXPECT_EQ(strip->selectedTool(), ToolId::None);

    strip->setToolSelected(ToolId::Pipette, true);
    EXPECT_EQ(strip->selectedTool(), ToolId::Pipette);
    EXPECT_EQ(canvas.scale, ScaleMode::Pixels);

    canvas.scale = ScaleMode::Pixels;
    strip->setToolSelected(ToolId::Pipette, false);
    EXPECT_EQ(strip->selectedTool(), ToolId::None);
    strip->setToolSelected(ToolId::RoundRect, false); // not selected: nothing happens
    EXPECT_EQ(strip->selectedTool(), ToolId::None);

    clickTool(ToolId::Oval);
    EXPECT_EQ(strip->selectedTool(), ToolId::Oval);
    EXPECT_EQ(canvas.scale, ScaleMode::Twips);
}

TEST_F(PaletteStripTest, WidthPicturesFrameOnlyTheChosenOne) {
    for (int i : {4, 0, 5, 2, 2, 1}) {
        clickWidth(i);
        EXPECT_EQ(framedWidth(), i);
        EXPECT_EQ(canvas.width, i + 1);
        EXPECT_EQ(strip->lineWidth(), i + 1);
    }
}

TEST_F(PaletteStripTest, PaletteCellsAndItsBackgroundArePicked) {
    const quint32 row1[8] = {0x00808080, 0x00FF0000, 0x0000FF00, 0x00FFFF00,
                             0x000000FF, 0x00FF00FF, 0x0000FFFF, 0x00FFFFFF};
    for (int c = 0; c < 8; ++c) {
        pressPalette(160 * c + 80, 240, c % 2 ? Qt::RightButton : Qt::LeftButton);
        EXPECT_EQ(strip->currentColor(), row1[c]) << "column " << c;
        EXPECT_EQ(canvas.fore, row1[c]);
        EXPECT_EQ(canvas.drawColor, row1[c]);
    }
    pressPalette(160 * 5 + 80, 80);
    EXPECT_EQ(strip->currentColor(), 0x00CECEFFu);

    // Below the cells the box shows its own background, which is picked as well.
    const QImage& img = strip->colorGrid()->image();
    const QPoint below(twipsToPixelsX(100), img.height() - 1);
    const quint32 background = strip->colorGrid()->colorAt(below);
    QTest::mousePress(strip->colorGrid(), Qt::LeftButton, {}, below);
    EXPECT_EQ(strip->currentColor(), background);
    EXPECT_EQ(canvas.fore, background);
    EXPECT_NE(background, 0x00808080u);
}

TEST_F(PaletteStripTest, CancellingTheColourDialogRestoresTheSwatch) {
    pressPalette(80 + 160 * 2, 240); // bright green
    canvas.fore = canvas.drawColor = 0x00123456;

    bool cancelled = false;
    whenModal([&](QWidget* w) {
        if (auto* d = qobject_cast<QColorDialog*>(w)) d->setCurrentColor(Qt::blue);
        cancelled = pressButton(w, QStringLiteral("Abbrechen"));
    });
    QTest::mouseClick(strip->colorSwatch(), Qt::LeftButton);
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(strip->currentColor(), kGreen);
    EXPECT_EQ(canvas.fore, kGreen);
    EXPECT_EQ(canvas.drawColor, kGreen);
}

TEST_F(PaletteStripTest, ColourDialogChoiceBecomesTheCurrentColour) {
    whenModal([&](QWidget* w) {
        auto* d = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->currentColor(), QColor(Qt::red)); // the swatch colour preselected
        d->setCurrentColor(QColor(1, 2, 3));
        pressButton(w, QStringLiteral("OK"));
    });
    QTest::mouseClick(strip->colorSwatch(), Qt::LeftButton);
    EXPECT_EQ(strip->currentColor(), 0x00030201u);
    EXPECT_EQ(canvas.fore, 0x00030201u);
    EXPECT_EQ(canvas.drawColor, 0x00030201u);
}

TEST_F(PaletteStripTest, UndoButtonAndPointerMovesAreReported) {
    QSignalSpy undo(strip.get(), &PaletteStrip::undoRequested);
    QSignalSpy moved(strip.get(), &PaletteStrip::mouseMovedOverStrip);
    QTest::mouseClick(strip->undoButton(), Qt::LeftButton);
    EXPECT_EQ(undo.count(), 1);
    QTest::mouseMove(strip.get(), QPoint(strip->width() - 5, 5));
    EXPECT_TRUE(kamsulo::test::waitFor([&] { return moved.count() > 0; }, 2000));
}
