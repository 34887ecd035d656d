#include "annotate/CanvasController.h"

#include "annotate/CanvasHost.h"
#include "annotate/CanvasSurface.h"
#include "annotate/Rounding.h"
#include "annotate/UndoRing.h"

#include <cmath>

namespace kamsulo::annotate {

namespace {
QString singleText(double v) {
    return QString::number(double(float(v)), 'g', 7);
}
} // namespace

CanvasController::CanvasController(CanvasSurface& surface, UndoRing& undo, CanvasHost& host)
    : surface_(surface), undo_(undo), host_(host) {
    for (int i = 0; i < kToolCount; ++i)
        tools_[std::size_t(i)] = makeTool(toolAt(i));
}

CanvasController::~CanvasController() = default;

Tool* CanvasController::selectedTool() const {
    const int i = positionOf(host_.selectedTool());
    return i >= 0 && i < kToolCount ? tools_[std::size_t(i)].get() : nullptr;
}

void CanvasController::takeUndoSnapshot() {
    undo_.takeUndoSnapshot(surface_.image());
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

void CanvasController::setCursorIcon(CursorIcon icon) {
    cursorIcon_ = icon;
    pointerShape_ = PointerShape::ToolIcon;
}

QString CanvasController::positionCaption(double x, double y, const CanvasSurface& s) {
    long long px = std::llround(std::nearbyint(x));
    long long py = std::llround(std::nearbyint(y));
    if (s.scaleMode() == ScaleMode::Twips) {
        px = static_cast<long long>(double(px) / s.twipsPerPixelX());
        py = static_cast<long long>(double(py) / s.twipsPerPixelY());
    }
    return QStringLiteral("Kamsulo   X=%1  :  Y=%2").arg(px).arg(py);
}

void CanvasController::pointerDown(int button, int modifiers, double x, double y) {
    textPosX_ = singleText(x);
    textPosY_ = singleText(y);
    gestureTool_ = nullptr;
    panning_ = false;

    if (modifiers == 0) {
        Tool* tool = selectedTool();
        if (tool && tool->takesWholePress()) {
            tool->press(*this, button, x, y);
            return;
        }
        const quint32 colour = host_.currentColor();
        surface_.setPenColor(colour);
        state_.drawColor = colour;
        if (tool) {
            tool->press(*this, button, x, y);
            gestureTool_ = tool;
        }
    }

    const QSize view = host_.viewportSize();
    const QSize pic = shownSize();
    state_.panRangeY = std::abs(view.height() - pic.height());
    state_.panRangeX = std::abs(view.width() - pic.width());
    if (button == ButtonLeft && modifiers != 0) {
        pointerShape_ = PointerShape::SizeAll;
        state_.panPressX = x / surface_.unitsPerPixelX() / pixelRatio_;
        state_.panPressY = y / surface_.unitsPerPixelY() / pixelRatio_;
        panning_ = true;
    }
}

void CanvasController::pointerMove(int buttons, int modifiers, double x, double y) {
    host_.setCaption(positionCaption(x, y, surface_));
    host_.clearButtonHighlight();
    if (modifiers == 0) {
        Tool* tool = selectedTool();
        // Only a gesture that the tool itself started draws or previews.
        if (tool && tool == gestureTool_) tool->move(*this, buttons, x, y);
    }
    if (buttons == ButtonLeft && modifiers != 0 && panning_) pan(x, y);
    host_.updateCanvasToolTip();
}

QSize CanvasController::shownSize() const {
    const QSize pic = surface_.pixelSize();
    return {int(std::ceil(pic.width() / pixelRatio_ - 1e-9)),
            int(std::ceil(pic.height() / pixelRatio_ - 1e-9))};
}

void CanvasController::pan(double x, double y) {
    const QSize view = host_.viewportSize();
    const QSize pic = shownSize();
    const double px = x / surface_.unitsPerPixelX() / pixelRatio_;
    const double py = y / surface_.unitsPerPixelY() / pixelRatio_;
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

void CanvasController::pointerUp(int button, int modifiers, double x, double y) {
    if (modifiers == 0) {
        Tool* tool = selectedTool();
        if (tool && tool == gestureTool_) tool->release(*this, button, x, y);
    }
    gestureTool_ = nullptr;
    panning_ = false;
    pointerShape_ = PointerShape::ToolIcon;
}

void CanvasController::keyDown(int key, int) {
    if (key != Qt::Key_Shift) return;
    host_.deselectAllTools();
    pointerShape_ = PointerShape::SizeAll;
}

void CanvasController::keyUp(int key, int) {
    if (key == Qt::Key_Shift) pointerShape_ = PointerShape::Default;
}

void CanvasController::pointerOverViewport() {
    host_.clearButtonHighlight();
    const QString bare = QStringLiteral("Kamsulo");
    if (host_.caption() != bare) host_.setCaption(bare);
}

} // namespace kamsulo::annotate
