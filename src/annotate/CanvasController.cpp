#include "annotate/CanvasController.h"

#include "annotate/CanvasHost.h"
#include "annotate/CanvasSurface.h"
#include "annotate/UndoRing.h"
#include "annotate/tools/LineTools.h"

#include <cmath>
#include <cstdlib>

namespace kamsulo::annotate {

namespace {
QString singleText(double v) {
    return QString::number(double(float(v)), 'g', 7);
}
} // namespace

CanvasController::CanvasController(CanvasSurface& surface, UndoRing& undo, CanvasHost& host)
    : surface_(surface), undo_(undo), host_(host) {
    for (int i = 0; i < toolCount; ++i)
        tools_[std::size_t(i)] = makeTool(i);
}

CanvasController::~CanvasController() = default;

Tool* CanvasController::selectedTool() const {
    const int i = host_.selectedTool();
    return i >= 0 && i < toolCount ? tools_[std::size_t(i)].get() : nullptr;
}

void CanvasController::undo_dummy_pic() {
    undo_.undo_dummy_pic(surface_.image());
}
void CanvasController::setMarkingsDrawn() {
    host_.setMarkingsDrawn();
}
void CanvasController::setCurrentColor(quint32 bgr) {
    host_.setCurrentColor(bgr);
}
void CanvasController::showTextDialog() {
    host_.showTextDialog();
}

void CanvasController::setMouseIcon(int index) {
    if (index < 0 || index > 5) return;
    mouseIcon_ = index;
    mousePointer_ = PointerCustom;
}

QString CanvasController::positionCaption(double x, double y, const CanvasSurface& s) {
    long long px = std::llround(std::nearbyint(x));
    long long py = std::llround(std::nearbyint(y));
    if (s.scaleMode() == 1) {
        px /= s.twipsPerPixelX();
        py /= s.twipsPerPixelY();
    }
    return QStringLiteral("Kamsulo   X=%1  :  Y=%2").arg(px).arg(py);
}

void CanvasController::AnzeigePic_MouseDown(int button, int shift, double x, double y) {
    textPosX_ = singleText(x);
    textPosY_ = singleText(y);
    gestureTool_ = nullptr;
    panning_ = false;

    if (shift == 0) {
        Tool* tool = selectedTool();
        if (tool && tool->takesWholePress()) {
            tool->press(*this, button, x, y);
            return;
        }
        const quint32 colour = host_.currentColor();
        surface_.setForeColor(colour);
        state_.drawColor = colour;
        if (tool) {
            tool->press(*this, button, x, y);
            gestureTool_ = tool;
        }
    }

    const QSize view = host_.viewportSize();
    const QSize pic = surface_.pixelSize();
    state_.panRangeY = std::abs(view.height() - pic.height());
    state_.panRangeX = std::abs(view.width() - pic.width());
    if (button == ButtonLeft && shift != 0) {
        mousePointer_ = PointerSizeAll;
        state_.panPressX = x / surface_.unitsPerPixelX();
        state_.panPressY = y / surface_.unitsPerPixelY();
        panning_ = true;
    }
}

void CanvasController::AnzeigePic_MouseMove(int buttons, int shift, double x, double y) {
    host_.setCaption(positionCaption(x, y, surface_));
    host_.roll_out();
    if (shift == 0) {
        Tool* tool = selectedTool();
        // Only a gesture that the tool itself started draws or previews.
        if (tool && tool == gestureTool_) tool->move(*this, buttons, x, y);
    }
    if (buttons == ButtonLeft && shift != 0 && panning_) pan(x, y);
    host_.tool_tipp();
}

void CanvasController::pan(double x, double y) {
    const QSize view = host_.viewportSize();
    const QSize pic = surface_.pixelSize();
    const double px = x / surface_.unitsPerPixelX();
    const double py = y / surface_.unitsPerPixelY();
    auto clamp = [](int v, int range) {
        if (v >= 0) return 0;
        if (v <= -range) return -range;
        return v;
    };
    state_.panLeft = clamp(roundEven(canvasPos_.x() + px - state_.panPressX), state_.panRangeX);
    state_.panTop = clamp(roundEven(canvasPos_.y() + py - state_.panPressY), state_.panRangeY);
    if (pic.width() > view.width()) {
        canvasPos_.setX(state_.panLeft);
        host_.panCanvas(Qt::Horizontal, state_.panLeft);
    }
    if (pic.height() > view.height()) {
        canvasPos_.setY(state_.panTop);
        host_.panCanvas(Qt::Vertical, state_.panTop);
    }
}

void CanvasController::AnzeigePic_MouseUp(int button, int shift, double x, double y) {
    if (shift == 0) {
        Tool* tool = selectedTool();
        if (tool && tool == gestureTool_) tool->release(*this, button, x, y);
    }
    gestureTool_ = nullptr;
    panning_ = false;
    mousePointer_ = PointerCustom;
}

void CanvasController::AnzeigePic_KeyDown(int keyCode, int) {
    if (keyCode != kVirtualKeyShift) return;
    host_.deselectAllTools();
    mousePointer_ = PointerSizeAll;
}

void CanvasController::AnzeigePic_KeyUp(int keyCode, int) {
    if (keyCode == kVirtualKeyShift) mousePointer_ = PointerDefault;
}

void CanvasController::AnzeigePicCont_MouseMove() {
    host_.roll_out();
    const QString bare = QStringLiteral("Kamsulo");
    if (host_.caption() != bare) host_.setCaption(bare);
}

} // namespace kamsulo::annotate
