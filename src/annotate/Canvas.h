#pragma once
// The canvas: shows the picture with its markings, floats the shape previews over it and turns
// mouse and key events into the canvas protocol. It sizes itself to its picture; the main window's
// viewport positions it.
#include "annotate/CanvasController.h"
#include "annotate/CanvasSurface.h"
#include "annotate/CanvasTarget.h"
#include "annotate/UndoRing.h"

#include <QImage>
#include <QWidget>
#include <optional>

namespace kamsulo::annotate {

class CanvasHost;

class Canvas : public QWidget, public CanvasTarget {
    Q_OBJECT
public:
    explicit Canvas(CanvasHost& host, QWidget* parent = nullptr);
    ~Canvas() override;

    // --- The picture ---
    // Puts a picture on the canvas, nothing else (the canvas resizes to it).
    void setPicture(const QImage& picture);
    // The new-picture reset: the unmarked copy and all five undo slots := the canvas;
    // indexes 0.
    void newPictureReset();
    // The capture hand-over: picture onto the canvas, into the unmarked copy and all
    // five undo slots; the undo indexes are left as they are.
    void takeCapture(const QImage& picture);
    // The persistent picture with its markings: what is saved, copied, handed on.
    const QImage& image() const { return surface_.image(); }

    // The canvas and the unmarked copy without a picture; the five slots keep theirs.
    void clearPicture();
    const UndoRing& undoRing() const { return undo_; }

    // --- Undo ---
    void resetUndoIndexes() { undo_.resetIndexes(); }
    int undoWriteSlot() const { return undo_.undoWriteSlot(); }
    int undoReadSlot() const { return undo_.undoReadSlot(); }
    void takeUndoSnapshot();
    // The undo button: restores the newest snapshot not yet taken back.
    void undo();
    // Double-click: asks, and on Yes returns to the unmarked picture.
    void askToClearAll();

    // --- The protocol (positions in canvas units) ---
    void pointerDown(int button, int modifiers, double x, double y);
    void pointerMove(int buttons, int modifiers, double x, double y);
    void pointerUp(int button, int modifiers, double x, double y);
    void keyDown(int key, int modifiers);
    void keyUp(int key, int modifiers);
    // The main window calls this when the pointer moves over the bare viewport.
    void pointerOverViewport();
    QString textPosX() const { return controller_.textPosX(); }
    QString textPosY() const { return controller_.textPosY(); }
    PointerShape pointerShape() const { return controller_.pointerShape(); }

    const CanvasSurface& surface() const { return surface_; }
    const CanvasController& controller() const { return controller_; }

    // --- CanvasTarget ---
    void setScaleMode(ScaleMode mode) override;
    ScaleMode scaleMode() const override { return surface_.scaleMode(); }
    void setCursorIcon(CursorIcon icon) override;
    void setPenWidth(int pixels) override { surface_.setPenWidth(pixels); }
    int penWidth() const override { return surface_.penWidth(); }
    void setPenColor(quint32 bgr) override { surface_.setPenColor(bgr); }
    quint32 penColor() const override { return surface_.penColor(); }
    void setDrawColor(quint32 bgr) override { controller_.state().drawColor = bgr; }
    void resetLineStart() override;
    void focusCanvas() override { setFocus(Qt::OtherFocusReason); }
    QFont font() const override { return surface_.font(); }
    void setFont(const QFont& f) override { surface_.setFont(f); }
    void movePenTo(double x, double y) override { surface_.movePenTo(x, y); }
    void printText(const QString& text) override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // After each handler: repaint what changed, follow size and cursor.
    void sync();
    void fitToPicture();
    QPointF toUnits(const QMouseEvent* event) const;

    CanvasHost& host_;
    CanvasSurface surface_;
    UndoRing undo_;
    CanvasController controller_;
    Previews shown_;
    // What the widget's cursor shows now; unset until the first sync.
    std::optional<PointerShape> shownPointer_;
    CursorIcon shownIcon_ = CursorIcon::Hand;
};

} // namespace kamsulo::annotate
