#pragma once
// A canvas without a window: surface, undo ring and controller over a fake host.
#include "FakeCanvasHost.h"
#include "PixelHelpers.h"
#include "annotate/CanvasController.h"
#include "annotate/CanvasSurface.h"
#include "annotate/UndoRing.h"

#include <gtest/gtest.h>

namespace kamsulo::annotate::test {

class CanvasFixture : public ::testing::Test {
protected:
    void SetUp() override {
        surface.setTwipsPerPixel(15, 15);
        surface.setScaleMode(ScaleMode::Twips);
        surface.setPenWidth(2);
        usePicture(whitePicture(200, 150));
    }
    void usePicture(const QImage& img) {
        surface.setPicture(img);
        ring.newPicture(surface.image());
    }
    // Selects a tool the way the palette does (scale and pen left as they are).
    void select(ToolId tool) {
        host.tool = tool;
        surface.setScaleMode(tool == ToolId::Pipette || tool == ToolId::RoundRect
                                 ? ScaleMode::Pixels
                                 : ScaleMode::Twips);
        controller.state().lineStartX = controller.state().lineStartY = 0;
    }
    double ux() const { return surface.unitsPerPixelX(); }
    double uy() const { return surface.unitsPerPixelY(); }
    // Pointer actions at pixel positions.
    void press(QPoint p, int button = ButtonLeft, int mods = 0) {
        controller.pointerDown(button, mods, p.x() * ux(), p.y() * uy());
    }
    void move(QPoint p, int buttons = ButtonLeft, int mods = 0) {
        controller.pointerMove(buttons, mods, p.x() * ux(), p.y() * uy());
    }
    void release(QPoint p, int button = ButtonLeft, int mods = 0) {
        controller.pointerUp(button, mods, p.x() * ux(), p.y() * uy());
    }
    void drag(QPoint from, QPoint to, int button = ButtonLeft, int mods = 0) {
        press(from, button, mods);
        const int buttons = button;
        move((from + to) / 2, buttons, mods);
        move(to, buttons, mods);
        release(to, button, mods);
    }
    const QImage& image() const { return surface.image(); }

    CanvasSurface surface;
    UndoRing ring;
    FakeCanvasHost host;
    CanvasController controller{surface, ring, host};
};

} // namespace kamsulo::annotate::test
