#include "platform/ScreenGrabber.h"

#include "platform/WindowBounds.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace kamsulo::platform {

QList<Monitor> ScreenGrabber::monitors() const {
    QList<Monitor> list;
    for (const QScreen* s : QGuiApplication::screens())
        list.append({s->name(), screenDeviceRect(s, {})});
    return list;
}

std::unique_ptr<GrabRequest> ScreenGrabber::request(const GrabOrder& order) {
    GrabAnswer answer;
    answer.picture = grabNow(order);
    if (answer.picture.isNull()) answer.failure = failure();
    return GrabRequest::answered(std::move(answer));
}

QImage ScreenGrabber::grabNow(const GrabOrder& order) {
    if (order.target == GrabTarget::Rectangle) return grabRoot(order.rect);
    // Some desktops hand out the window's picture only whole.
    if (std::optional<QImage> whole = grabActiveWindow()) return *whole;
    const QRect screen = primaryScreen();
    const WindowId window = activeWindow();
    // With no active window (the desktop in front) the picture is the whole screen, as
    // a window device context of no window would give. So it is with the program's own
    // window, which has stepped aside even where the window manager still names it active.
    if (window == 0 || (order.ownWindow && window == order.ownWindow->winId()))
        return grabRoot(screen);
    const QRect outer = windowRect(window);
    if (outer.isNull()) return {};
    // What of the window the monitors show; the gaps between them are black.
    const QList<Monitor> all = monitors();
    const QRect seen = partOnMonitors(outer, all);
    if (seen.isEmpty()) return grabRoot(screen);
    QImage picture = grabRoot(seen);
    const QRegion gaps = offMonitors(seen, all);
    if (!picture.isNull() && !gaps.isEmpty()) {
        QPainter painter(&picture);
        for (const QRect& gap : gaps)
            painter.fillRect(gap, Qt::black);
    }
    return picture;
}

} // namespace kamsulo::platform
