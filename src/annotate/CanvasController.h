#pragma once
// The canvas's mouse and key protocol: press, move and release for every tool, the
// previews, the caption, the pan with Shift/Ctrl/Alt and the Shift key. No window.
#include "annotate/CanvasTarget.h"
#include "annotate/GestureState.h"
#include "annotate/Overlay.h"
#include "annotate/Tool.h"

#include <QPoint>
#include <QString>
#include <array>
#include <memory>

namespace kamsulo::annotate {

class CanvasHost;
class CanvasSurface;
class UndoRing;

enum ModifierMask { ModShift = 1, ModCtrl = 2, ModAlt = 4 };

// What the canvas pointer shows: the chosen tool's picture, the four-way arrow of a
// pan or of a held Shift key, or the plain arrow after Shift is let go.
enum class PointerShape { Default, SizeAll, ToolIcon };

class CanvasController : private ToolContext {
public:
    CanvasController(CanvasSurface& surface, UndoRing& undo, CanvasHost& host);
    ~CanvasController() override;

    // Positions are canvas units (the surface's scale); buttons are a ButtonMask,
    // modifiers a ModifierMask; keys are Qt::Key values.
    void pointerDown(int button, int modifiers, double x, double y);
    void pointerMove(int buttons, int modifiers, double x, double y);
    void pointerUp(int button, int modifiers, double x, double y);
    void keyDown(int key, int modifiers);
    void keyUp(int key, int modifiers);
    // The pointer over the viewport beside the picture.
    void pointerOverViewport();

    // The next undo slot := the canvas picture.
    void takeUndoSnapshot() override;

    // The canvas's position in the viewport, pixels (kept up to date by the widget).
    void setCanvasPos(QPoint pos) { canvasPos_ = pos; }
    QPoint canvasPos() const { return canvasPos_; }
    // Picture pixels per viewport pixel: the screen's device pixel ratio, as the canvas
    // shows one picture pixel per device pixel.
    void setPixelRatio(double ratio) { pixelRatio_ = ratio > 0 ? ratio : 1.0; }

    // The last press, as text (where the text dialog prints).
    const QString& textPosX() const { return textPosX_; }
    const QString& textPosY() const { return textPosY_; }

    PointerShape pointerShape() const { return pointerShape_; }
    CursorIcon cursorIcon() const { return cursorIcon_; }
    void setCursorIcon(CursorIcon icon);

    Previews& previews() override { return previews_; }
    const Previews& previews() const { return previews_; }
    GestureState& state() override { return state_; }
    const GestureState& state() const { return state_; }

    // "Kamsulo   X=..  :  Y=.." for a pointer position in canvas units.
    static QString positionCaption(double x, double y, const CanvasSurface& s);

private:
    CanvasSurface& surface() override { return surface_; }
    void setMarkingsDrawn() override;
    void setCurrentColor(quint32 bgr) override;
    void showTextDialog() override;

    Tool* selectedTool() const;
    void pan(double x, double y);
    // The picture's size in viewport pixels.
    QSize shownSize() const;

    CanvasSurface& surface_;
    UndoRing& undo_;
    CanvasHost& host_;
    std::array<std::unique_ptr<Tool>, kToolCount> tools_;
    Previews previews_;
    GestureState state_;
    QPoint canvasPos_;
    double pixelRatio_ = 1.0;
    QString textPosX_ = QStringLiteral("500");
    QString textPosY_ = QStringLiteral("500");
    PointerShape pointerShape_ = PointerShape::ToolIcon;
    CursorIcon cursorIcon_ = CursorIcon::Hand;
    // The tool whose press started the gesture in progress (no modifier held then).
    Tool* gestureTool_ = nullptr;
    // A pan started by a left press with a modifier.
    bool panning_ = false;
};

} // namespace kamsulo::annotate
