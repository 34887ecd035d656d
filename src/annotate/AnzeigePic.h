#pragma once
// The canvas AnzeigePic: shows the picture with its markings, floats the shape
// previews over it and turns mouse and key events into the canvas protocol. It sizes
// itself to its picture; the main window's viewport positions it.
#include "annotate/CanvasController.h"
#include "annotate/CanvasSurface.h"
#include "annotate/CanvasTarget.h"
#include "annotate/UndoRing.h"

#include <QImage>
#include <QWidget>

namespace kamsulo::annotate {

class CanvasHost;

class AnzeigePic : public QWidget, public CanvasTarget {
    Q_OBJECT
public:
    explicit AnzeigePic(CanvasHost& host, QWidget* parent = nullptr);
    ~AnzeigePic() override;

    // --- The picture ---
    // Puts a picture on the canvas, nothing else (the canvas resizes to it).
    void setPicture(const QImage& picture);
    // The new-picture reset: picCopy and all five slots := the canvas; indexes 0.
    void newPictureReset();
    // The capture hand-over: picture onto the canvas, into picCopy and all five
    // slots; the undo indexes are left as they are.
    void takeCapture(const QImage& picture);
    // The persistent picture with its markings: what is saved, copied, handed on.
    const QImage& image() const { return surface_.image(); }

    // The canvas and picCopy without a picture; the five slots keep theirs.
    void clearPicture();
    const UndoRing& undoRing() const { return undo_; }

    // --- Undo ---
    void resetUndoIndexes() { undo_.resetIndexes(); }
    int undoWriteSlot() const { return undo_.undoWriteSlot(); }
    int undoReadSlot() const { return undo_.undoReadSlot(); }
    void undo_dummy_pic();
    // The undo button: restores the newest snapshot not yet taken back.
    void Command7_Click();
    // Double-click: asks, and on Yes returns to the unmarked picture.
    void AnzeigePic_DblClick();

    // --- The protocol (positions in canvas units) ---
    void AnzeigePic_MouseDown(int button, int shift, double x, double y);
    void AnzeigePic_MouseMove(int buttons, int shift, double x, double y);
    void AnzeigePic_MouseUp(int button, int shift, double x, double y);
    void AnzeigePic_KeyDown(int keyCode, int shift);
    void AnzeigePic_KeyUp(int keyCode, int shift);
    // The main window calls this when the pointer moves over the bare viewport.
    void AnzeigePicCont_MouseMove();
    QString textPosX() const { return controller_.textPosX(); }
    QString textPosY() const { return controller_.textPosY(); }
    // MousePointer: 99 custom icon, 15 four-way arrow, 0 default arrow.
    int mousePointer() const { return controller_.mousePointer(); }

    const CanvasSurface& surface() const { return surface_; }
    const CanvasController& controller() const { return controller_; }

    // --- CanvasTarget ---
    void setScaleMode(int mode) override;
    int scaleMode() const override { return surface_.scaleMode(); }
    void setMouseIcon(int iconIndex) override;
    void setDrawWidth(int pixels) override { surface_.setDrawWidth(pixels); }
    int drawWidth() const override { return surface_.drawWidth(); }
    void setForeColor(quint32 bgr) override { surface_.setForeColor(bgr); }
    quint32 foreColor() const override { return surface_.foreColor(); }
    void setDrawColor(quint32 bgr) override { controller_.state().drawColor = bgr; }
    void resetLineStart() override;
    void focusCanvas() override { setFocus(Qt::OtherFocusReason); }
    QFont font() const override { return surface_.font(); }
    void setFont(const QFont& f) override { surface_.setFont(f); }
    void setCurrentXY(double x, double y) override { surface_.setCurrentXY(x, y); }
    void printText(const QString& text) override;

signals:
    // The canvas took another size with a new or restored picture.
    void pictureSizeChanged(QSize size);

protected:
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
    QPointF toUnits(QPointF pixel) const;

    CanvasHost& host_;
    CanvasSurface surface_;
    UndoRing undo_;
    CanvasController controller_;
    Previews shown_;
    int shownPointer_ = -1;
    int shownIcon_ = -1;
};

} // namespace kamsulo::annotate
