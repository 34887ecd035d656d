#pragma once
// The canvas's mouse and key protocol: press, move and release for every tool, the
// previews, the caption, the pan with Shift/Ctrl/Alt and the Shift key. No window.
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
enum MousePointerValue { PointerDefault = 0, PointerSizeAll = 15, PointerCustom = 99 };
constexpr int kVirtualKeyShift = 16;

class CanvasController : private ToolContext {
public:
    CanvasController(CanvasSurface& surface, UndoRing& undo, CanvasHost& host);
    ~CanvasController() override;

    // Positions are canvas units (the surface's scale); button masks 1 left, 2 right;
    // modifier masks 1 Shift, 2 Ctrl, 4 Alt.
    void AnzeigePic_MouseDown(int button, int shift, double x, double y);
    void AnzeigePic_MouseMove(int buttons, int shift, double x, double y);
    void AnzeigePic_MouseUp(int button, int shift, double x, double y);
    void AnzeigePic_KeyDown(int keyCode, int shift);
    void AnzeigePic_KeyUp(int keyCode, int shift);
    // The pointer over the viewport beside the picture.
    void AnzeigePicCont_MouseMove();

    // undo_dummy_pic on the canvas picture.
    void undo_dummy_pic();

    // The canvas's position in the viewport, pixels (kept up to date by the widget).
    void setCanvasPos(QPoint pos) { canvasPos_ = pos; }
    QPoint canvasPos() const { return canvasPos_; }

    // textPosX / textPosY: the last press, as text.
    const QString& textPosX() const { return textPosX_; }
    const QString& textPosY() const { return textPosY_; }

    // MousePointer and the index of the icon it shows when custom.
    int mousePointer() const { return mousePointer_; }
    int mouseIcon() const { return mouseIcon_; }
    void setMouseIcon(int index);

    Previews& previews() override { return previews_; }
    const Previews& previews() const { return previews_; }
    GestureState& state() override { return state_; }
    const GestureState& state() const { return state_; }

    // "Kamsulo   X=..  :  Y=.." for a pointer position in canvas units.
    static QString positionCaption(double x, double y, const CanvasSurface& s);

private:
    CanvasSurface& surface() override { return surface_; }
    void snapshot() override { undo_dummy_pic(); }
    void setMarkingsDrawn() override;
    void setCurrentColor(quint32 bgr) override;
    void showTextDialog() override;

    Tool* selectedTool() const;
    void pan(double x, double y);

    CanvasSurface& surface_;
    UndoRing& undo_;
    CanvasHost& host_;
    std::array<std::unique_ptr<Tool>, toolCount> tools_;
    Previews previews_;
    GestureState state_;
    QPoint canvasPos_;
    QString textPosX_ = QStringLiteral("500");
    QString textPosY_ = QStringLiteral("500");
    int mousePointer_ = PointerCustom;
    int mouseIcon_ = 1; // "hand"
    // The tool whose press started the gesture in progress (no modifier held then).
    Tool* gestureTool_ = nullptr;
    // A pan started by a left press with a modifier.
    bool panning_ = false;
};

} // namespace kamsulo::annotate
