#include "platform/PointerPosition.h"

#include "platform/DevicePixels.h"
#include "platform/PointerEventLog.h"
#include "platform/ScreenScale.h"
#include "platform/x11/X11PointerEvents.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace kamsulo::platform {

namespace {
PointerEventLog& eventLog() {
    static PointerEventLog log;
    return log;
}

std::optional<PointerEventKind> kindOf(const QMouseEvent& event) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return PointerEventKind::Press;
    case QEvent::MouseButtonRelease:
        return PointerEventKind::Release;
    case QEvent::MouseMove:
        return PointerEventKind::Motion;
    default:
        return std::nullopt;
    }
}

// The desktop position that Qt's rounded position stands for. Qt divides the device
// pixels of the receiving window by the ratio of that window's screen, also while a drag
// goes on over another screen.
QPointF estimateOnDesktop(const QMouseEvent& event, const QWidget& receiver, qreal ratio) {
    const QPointF global = receiver.mapToGlobal(QPointF(0, 0)) + event.position();
    const QScreen* s = receiver.screen();
    if (!s) return global;
    return globalToDevice(global, s->geometry(), ratio > 0 ? ratio : s->devicePixelRatio());
}

std::optional<PointerRecord> recordOf(const QMouseEvent& event, const QWidget& receiver,
                                      QPoint estimate) {
    const std::optional<PointerEventKind> kind = kindOf(event);
    if (!kind) return std::nullopt;
    // Qt's rounding moves a position by half a logical pixel at most.
    const int tolerance = int(std::ceil(receiver.devicePixelRatioF())) + 1;
    return eventLog().take(*kind, std::uint32_t(event.timestamp()), estimate, tolerance);
}
} // namespace

void followPointerEvents() {
    followX11PointerEvents(eventLog());
}

QPoint eventOnDesktop(const QMouseEvent& event, const QWidget& receiver, QPoint estimate) {
    if (const std::optional<PointerRecord> r = recordOf(event, receiver, estimate))
        return r->desktop;
    return estimate;
}

QPoint eventInWidget(const QMouseEvent& event, const QWidget& receiver) {
    const qreal ratio = deviceRatio(receiver);
    const QWidget* window = receiver.window();
    const QPoint estimate = estimateOnDesktop(event, receiver, ratio).toPoint();
    if (const std::optional<PointerRecord> r = recordOf(event, receiver, estimate);
        r && window->internalWinId() == WId(r->window)) {
        const QPoint offset = receiver.mapTo(window, QPoint(0, 0));
        return r->inWindow - QPoint(toDevice(offset.x(), ratio), toDevice(offset.y(), ratio));
    }
    return pointerToDevice(event.position(), ratio);
}

} // namespace kamsulo::platform
