#include "annotate/Canvas.h"

#include "annotate/CanvasHost.h"
#include "annotate/CursorIcons.h"
#include "annotate/OverlayPainter.h"
#include "platform/DevicePixels.h"
#include "platform/MessageBox.h"
#include "platform/PointerPosition.h"
#include "platform/ScreenScale.h"
#include "platform/Twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace kamsulo::annotate {

namespace {
int buttonMask(Qt::MouseButtons b) {
    int m = 0;
    if (b & Qt::LeftButton) m |= ButtonLeft;
    if (b & Qt::RightButton) m |= ButtonRight;
    if (b & Qt::MiddleButton) m |= ButtonMiddle;
    return m;
}

int modifierMask(Qt::KeyboardModifiers k) {
    int m = 0;
    if (k & Qt::ShiftModifier) m |= ModShift;
    if (k & Qt::ControlModifier) m |= ModCtrl;
    if (k & Qt::AltModifier) m |= ModAlt;
    return m;
}

const QString kClearQuestion = QStringLiteral("Möchten sie wirklich alle Markierungen löschen?");
const QString kClearTitle = QStringLiteral("Kamsulo - Kontrollabfrage");
constexpr int kStartPenWidth = 2;
} // namespace

Canvas::Canvas(CanvasHost& host, QWidget* parent)
    : QWidget(parent), host_(host), controller_(surface_, undo_, host) {
    setObjectName(QStringLiteral("Canvas"));
    platform::followPointerEvents();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    surface_.setTwipsPerPixel(platform::twipsPerPixelX(), platform::twipsPerPixelY());
    surface_.setScaleMode(ScaleMode::Twips);
    surface_.setPenWidth(kStartPenWidth);
    sync();
}

Canvas::~Canvas() = default;

void Canvas::fitToPicture() {
    // One picture pixel per device pixel: the picture is shown at its own size on the
    // screen, whatever the screen's scale.
    const qreal ratio = platform::deviceRatio(*this);
    controller_.setPixelRatio(ratio);
    const QSize size = platform::logicalSizeFor(surface_.pixelSize(), ratio);
    if (this->size() == size && minimumSize() == size) return;
    setFixedSize(size);
}

void Canvas::setPicture(const QImage& picture) {
    surface_.setTwipsPerPixel(platform::twipsPerPixelX(), platform::twipsPerPixelY());
    surface_.setPicture(picture);
    sync();
}

void Canvas::clearPicture() {
    setPicture(QImage());
    undo_.clearUnmarkedCopy();
}

void Canvas::newPictureReset() {
    undo_.newPicture(surface_.image());
}

void Canvas::takeCapture(const QImage& picture) {
    setPicture(picture);
    undo_.handOver(surface_.image());
}

void Canvas::takeUndoSnapshot() {
    controller_.takeUndoSnapshot();
}

void Canvas::undo() {
    if (undo_.undo(surface_.image(), host_.markingsDrawn())) {
        surface_.takeChangedRect();
        update();
    }
    sync();
    focusCanvas();
}

void Canvas::askToClearAll() {
    if (platform::messageBox(kClearQuestion, platform::BoxStyle::YesNoQuestionDefaultNo,
                             kClearTitle, this) != platform::BoxAnswer::Yes)
        return;
    if (undo_.clearAll(surface_.image())) update();
    sync();
}

void Canvas::pointerDown(int button, int modifiers, double x, double y) {
    controller_.pointerDown(button, modifiers, x, y);
    sync();
}

void Canvas::pointerMove(int buttons, int modifiers, double x, double y) {
    controller_.pointerMove(buttons, modifiers, x, y);
    sync();
}

void Canvas::pointerUp(int button, int modifiers, double x, double y) {
    controller_.pointerUp(button, modifiers, x, y);
    sync();
}

void Canvas::keyDown(int key, int modifiers) {
    controller_.keyDown(key, modifiers);
    sync();
}

void Canvas::keyUp(int key, int modifiers) {
    controller_.keyUp(key, modifiers);
    sync();
}

void Canvas::pointerOverViewport() {
    controller_.pointerOverViewport();
}

void Canvas::setScaleMode(ScaleMode mode) {
    surface_.setScaleMode(mode);
    sync();
}

void Canvas::setCursorIcon(CursorIcon icon) {
    controller_.setCursorIcon(icon);
    sync();
}

void Canvas::resetLineStart() {
    controller_.state().lineStartX = 0;
    controller_.state().lineStartY = 0;
}

void Canvas::printText(const QString& text) {
    surface_.printText(text);
    sync();
}

void Canvas::sync() {
    fitToPicture();
    const qreal ratio = platform::deviceRatio(*this);
    const QRect changed = surface_.takeChangedRect();
    if (!changed.isEmpty()) update(platform::coveringLogical(changed, ratio));

    const Previews& now = controller_.previews();
    const Overlay* const before[] = {&shown_.box, &shown_.roundedBox, &shown_.ellipse,
                                     &shown_.line};
    const Overlay* const after[] = {&now.box, &now.roundedBox, &now.ellipse, &now.line};
    QRegion dirty;
    for (int i = 0; i < 4; ++i) {
        if (*before[i] == *after[i]) continue;
        dirty += overlayRegion(*before[i], surface_);
        dirty += overlayRegion(*after[i], surface_);
    }
    QRegion shownDirty;
    for (const QRect& r : dirty)
        shownDirty += platform::coveringLogical(r, ratio);
    if (!shownDirty.isEmpty()) update(shownDirty);
    shown_ = now;

    const PointerShape pointer = controller_.pointerShape();
    const CursorIcon icon = controller_.cursorIcon();
    if (pointer != shownPointer_ || (pointer == PointerShape::ToolIcon && icon != shownIcon_)) {
        switch (pointer) {
        case PointerShape::ToolIcon:
            setCursor(cursorForIcon(icon));
            break;
        case PointerShape::SizeAll:
            setCursor(Qt::SizeAllCursor);
            break;
        case PointerShape::Default:
            setCursor(Qt::ArrowCursor);
            break;
        }
        shownPointer_ = pointer;
        shownIcon_ = icon;
    }
}

void Canvas::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    // Painted in device pixels, one per picture pixel.
    const qreal ratio = platform::deviceRatio(*this);
    p.scale(1 / ratio, 1 / ratio);
    const QImage& img = surface_.image();
    for (const QRect& logical : event->region()) {
        const QRect r = platform::toDevice(logical, ratio).adjusted(-1, -1, 1, 1);
        const QRect inside = r & img.rect();
        if (!inside.isEmpty()) p.drawImage(inside.topLeft(), img, inside);
        // Outside the picture (a canvas without one): the viewport's background.
        const QRegion rest = QRegion(r) - QRegion(inside);
        for (const QRect& o : rest)
            p.fillRect(o, palette().window());
    }
    const Previews& pv = controller_.previews();
    for (const Overlay* o : {&pv.box, &pv.roundedBox, &pv.ellipse, &pv.line})
        paintOverlay(p, *o, surface_);
    // A picture handed over is shown first and copied for undo right after.
    if (undo_.handOverPending()) QTimer::singleShot(0, this, [this] { undo_.copyHandOver(); });
}

QPointF Canvas::toUnits(const QMouseEvent* event) const {
    // The picture pixel under the pointer, one per device pixel.
    const QPoint px = platform::eventInWidget(*event, *this);
    return {px.x() * surface_.unitsPerPixelX(), px.y() * surface_.unitsPerPixelY()};
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    const QPointF u = toUnits(event);
    pointerDown(buttonMask(event->button()), modifierMask(event->modifiers()), u.x(), u.y());
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF u = toUnits(event);
    pointerMove(buttonMask(event->buttons()), modifierMask(event->modifiers()), u.x(), u.y());
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF u = toUnits(event);
    pointerUp(buttonMask(event->button()), modifierMask(event->modifiers()), u.x(), u.y());
}

void Canvas::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click is the double-click, not another press.
    if (event->button() == Qt::LeftButton) askToClearAll();
}

void Canvas::keyPressEvent(QKeyEvent* event) {
    keyDown(event->key(), modifierMask(event->modifiers()));
}

void Canvas::keyReleaseEvent(QKeyEvent* event) {
    keyUp(event->key(), modifierMask(event->modifiers()));
}

bool Canvas::event(QEvent* event) {
    // On another screen the same picture may need another size.
    if (event->type() == QEvent::ScreenChangeInternal) sync();
    return QWidget::event(event);
}

void Canvas::moveEvent(QMoveEvent* event) {
    controller_.setCanvasPos(event->pos());
    QWidget::moveEvent(event);
}

} // namespace kamsulo::annotate
