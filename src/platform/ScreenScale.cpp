#include "platform/ScreenScale.h"

#include "platform/Backend.h"
#include "platform/wayland/OutputModes.h"

#include <QScreen>
#include <QWidget>

namespace kamsulo::platform {

qreal deviceRatio(const QScreen* screen) {
    if (!screen) return 1.0;
    if (backend() == Backend::Wayland && screen->geometry().width() > 0) {
        const QSize mode = currentOutputModes().value(screen->name());
        if (!mode.isEmpty()) return qreal(mode.width()) / screen->geometry().width();
    }
    return screen->devicePixelRatio();
}

qreal deviceRatio(const QWidget& widget) {
    const QScreen* s = widget.screen();
    return s ? deviceRatio(s) : widget.devicePixelRatioF();
}

QRectF logicalPlaneRect(const QScreen* screen, const QRect& device) {
    if (!screen) return QRectF(device);
    if (backend() == Backend::Wayland) return QRectF(screen->geometry());
    const qreal ratio = deviceRatio(screen);
    return {QPointF(device.topLeft()) / ratio, QSizeF(device.size()) / ratio};
}

} // namespace kamsulo::platform
