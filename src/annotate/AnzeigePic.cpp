#include "annotate/AnzeigePic.h"

#include "annotate/CanvasHost.h"
#include "annotate/CursorIcons.h"
#include "annotate/OverlayPainter.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kamsulo::annotate {

namespace {
int buttonMask(Qt::MouseButtons b) {
    int m = 0;
    if (b & Qt::LeftButton) m |= ButtonLeft;
    if (b & Qt::RightButton) m |= ButtonRight;
    if (b & Qt::MiddleButton) m |= 4;
    return m;
}

int modifierMask(Qt::KeyboardModifiers k) {
    int m = 0;
    if (k & Qt::ShiftModifier) m |= ModShift;
    if (k & Qt::ControlModifier) m |= ModCtrl;
    if (k & Qt::AltModifier) m |= ModAlt;
    return m;
}

int virtualKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Shift:
        return kVirtualKeyShift;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    default:
        return qtKey & 0xFFFF;
    }
}

const QString kClearQuestion = QStringLiteral("Möchten sie wirklich alle Markierungen löschen?");
const QString kClearTitle = QStringLiteral("Kamsulo - Kontrollabfrage");
} // namespace

AnzeigePic::AnzeigePic(CanvasHost& host, QWidget* parent)
    : QWidget(parent), host_(host), controller_(surface_, undo_, host) {
    setObjectName(QStringLiteral("AnzeigePic"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    surface_.setTwipsPerPixel(platform::twipsPerPixelX(), platform::twipsPerPixelY());
    surface_.setScaleMode(1);
    surface_.setDrawWidth(2);
    sync();
}

AnzeigePic::~AnzeigePic() = default;

void AnzeigePic::fitToPicture() {
    const QSize size = surface_.pixelSize();
    if (this->size() == size && minimumSize() == size) return;
    setFixedSize(size);
    emit pictureSizeChanged(size);
}

void AnzeigePic::setPicture(const QImage& picture) {
    surface_.setTwipsPerPixel(platform::twipsPerPixelX(), platform::twipsPerPixelY());
    surface_.setPicture(picture);
    sync();
}

void AnzeigePic::clearPicture() {
    setPicture(QImage());
    undo_.clearPicCopy();
}

void AnzeigePic::newPictureReset() {
    undo_.newPicture(surface_.image());
}

void AnzeigePic::takeCapture(const QImage& picture) {
    setPicture(picture);
    undo_.handOver(surface_.image());
}

void AnzeigePic::undo_dummy_pic() {
    controller_.undo_dummy_pic();
}

void AnzeigePic::Command7_Click() {
    if (undo_.undo(surface_.image(), host_.markingsDrawn())) {
        surface_.takeChangedRect();
        update();
    }
    sync();
    focusCanvas();
}

void AnzeigePic::AnzeigePic_DblClick() {
    if (platform::MsgBox(kClearQuestion, 292, kClearTitle, this) != platform::vbYes) return;
    if (undo_.clearAll(surface_.image())) update();
    sync();
}

void AnzeigePic::AnzeigePic_MouseDown(int button, int shift, double x, double y) {
    controller_.AnzeigePic_MouseDown(button, shift, x, y);
    sync();
}

void AnzeigePic::AnzeigePic_MouseMove(int buttons, int shift, double x, double y) {
    controller_.AnzeigePic_MouseMove(buttons, shift, x, y);
    sync();
}

void AnzeigePic::AnzeigePic_MouseUp(int button, int shift, double x, double y) {
    controller_.AnzeigePic_MouseUp(button, shift, x, y);
    sync();
}

void AnzeigePic::AnzeigePic_KeyDown(int keyCode, int shift) {
    controller_.AnzeigePic_KeyDown(keyCode, shift);
    sync();
}

void AnzeigePic::AnzeigePic_KeyUp(int keyCode, int shift) {
    controller_.AnzeigePic_KeyUp(keyCode, shift);
    sync();
}

void AnzeigePic::AnzeigePicCont_MouseMove() {
    controller_.AnzeigePicCont_MouseMove();
}

void AnzeigePic::setScaleMode(int mode) {
    surface_.setScaleMode(mode);
    sync();
}

void AnzeigePic::setMouseIcon(int iconIndex) {
    controller_.setMouseIcon(iconIndex);
    sync();
}

void AnzeigePic::resetLineStart() {
    controller_.state().lineStartX = 0;
    controller_.state().lineStartY = 0;
}

void AnzeigePic::printText(const QString& text) {
    surface_.printText(text);
    sync();
}

void AnzeigePic::sync() {
    fitToPicture();
    const QRect changed = surface_.takeChangedRect();
    if (!changed.isEmpty()) update(changed);

    const Previews& now = controller_.previews();
    const Overlay* const before[] = {&shown_.shape4, &shown_.Shape2, &shown_.onfly, &shown_.Linie1};
    const Overlay* const after[] = {&now.shape4, &now.Shape2, &now.onfly, &now.Linie1};
    QRegion dirty;
    for (int i = 0; i < 4; ++i) {
        if (*before[i] == *after[i]) continue;
        dirty += overlayRegion(*before[i], surface_);
        dirty += overlayRegion(*after[i], surface_);
    }
    if (!dirty.isEmpty()) update(dirty);
    shown_ = now;

    const int pointer = controller_.mousePointer();
    const int icon = controller_.mouseIcon();
    if (pointer != shownPointer_ || (pointer == PointerCustom && icon != shownIcon_)) {
        if (pointer == PointerCustom)
            setCursor(cursorForIcon(icon));
        else if (pointer == PointerSizeAll)
            setCursor(Qt::SizeAllCursor);
        else
            setCursor(Qt::ArrowCursor);
        shownPointer_ = pointer;
        shownIcon_ = icon;
    }
}

void AnzeigePic::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QImage& img = surface_.image();
    for (const QRect& r : event->region()) {
        const QRect inside = r & img.rect();
        if (!inside.isEmpty()) p.drawImage(inside.topLeft(), img, inside);
        // Outside the picture (a canvas without one): the viewport's background.
        const QRegion rest = QRegion(r) - QRegion(inside);
        for (const QRect& o : rest)
            p.fillRect(o, palette().window());
    }
    p.setClipRegion(event->region());
    const Previews& pv = controller_.previews();
    for (const Overlay* o : {&pv.shape4, &pv.Shape2, &pv.onfly, &pv.Linie1})
        paintOverlay(p, *o, surface_);
}

QPointF AnzeigePic::toUnits(QPointF pixel) const {
    const QPoint px = pixel.toPoint();
    return {px.x() * surface_.unitsPerPixelX(), px.y() * surface_.unitsPerPixelY()};
}

void AnzeigePic::mousePressEvent(QMouseEvent* event) {
    const QPointF u = toUnits(event->position());
    AnzeigePic_MouseDown(buttonMask(event->button()), modifierMask(event->modifiers()), u.x(),
                         u.y());
}

void AnzeigePic::mouseMoveEvent(QMouseEvent* event) {
    const QPointF u = toUnits(event->position());
    AnzeigePic_MouseMove(buttonMask(event->buttons()), modifierMask(event->modifiers()), u.x(),
                         u.y());
}

void AnzeigePic::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF u = toUnits(event->position());
    AnzeigePic_MouseUp(buttonMask(event->button()), modifierMask(event->modifiers()), u.x(), u.y());
}

void AnzeigePic::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click is the double-click, not another press.
    if (event->button() == Qt::LeftButton) AnzeigePic_DblClick();
}

void AnzeigePic::keyPressEvent(QKeyEvent* event) {
    AnzeigePic_KeyDown(virtualKey(event->key()), modifierMask(event->modifiers()));
}

void AnzeigePic::keyReleaseEvent(QKeyEvent* event) {
    AnzeigePic_KeyUp(virtualKey(event->key()), modifierMask(event->modifiers()));
}

void AnzeigePic::moveEvent(QMoveEvent* event) {
    controller_.setCanvasPos(event->pos());
    QWidget::moveEvent(event);
}

} // namespace kamsulo::annotate
