#include "platform/ScreenGrabber.h"

#include <QGuiApplication>
#include <QScreen>

namespace kamsulo::platform {

QList<Monitor> ScreenGrabber::monitors() const {
    QList<Monitor> list;
    for (const QScreen* s : QGuiApplication::screens())
        list.append({s->name(), screenDeviceRect(s, {})});
    return list;
}

} // namespace kamsulo::platform
