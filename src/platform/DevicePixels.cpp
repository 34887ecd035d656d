#include "platform/DevicePixels.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace kamsulo::platform {

namespace {
int roundToInt(double v) {
    return static_cast<int>(std::lround(v));
}
} // namespace

QRect screenDeviceRect(const QString& name, const QRect& logical, qreal ratio,
                       const QList<Monitor>& monitors) {
    for (const Monitor& m : monitors)
        if (m.name == name && !m.device.isEmpty()) return m.device;
    return QRect(logical.topLeft(),
                 QSize(toDevice(logical.width(), ratio), toDevice(logical.height(), ratio)));
}

QRect screenDeviceRect(const QScreen* screen, const QList<Monitor>& monitors) {
    if (!screen) return {};
    return screenDeviceRect(screen->name(), screen->geometry(), screen->devicePixelRatio(),
                            monitors);
}

QMargins frameToLogical(const QMargins& device, qreal ratio) {
    if (!(ratio > 0)) return device;
    return QMargins(roundToInt(device.left() / ratio), roundToInt(device.top() / ratio),
                    roundToInt(device.right() / ratio), roundToInt(device.bottom() / ratio));
}

QPoint pointerToDevice(const QPointF& logical, qreal ratio) {
    return QPoint(int(std::floor(logical.x() * ratio + 0.5)),
                  int(std::floor(logical.y() * ratio + 0.5)));
}

QPointF globalToDevice(const QPointF& global, const QRect& screenLogical, qreal ratio) {
    const QPointF origin = screenLogical.topLeft();
    return origin + (global - origin) * ratio;
}

int toDevice(int logical, qreal ratio) {
    return roundToInt(logical * ratio);
}

QRect toDevice(const QRect& logical, qreal ratio) {
    const int left = toDevice(logical.left(), ratio);
    const int top = toDevice(logical.top(), ratio);
    return QRect(left, top, toDevice(logical.left() + logical.width(), ratio) - left,
                 toDevice(logical.top() + logical.height(), ratio) - top);
}

QRect coveringLogical(const QRect& device, qreal ratio) {
    if (!(ratio > 0) || device.isEmpty()) return device;
    const int left = int(std::floor(device.left() / ratio));
    const int top = int(std::floor(device.top() / ratio));
    const int right = int(std::ceil((device.left() + device.width()) / ratio));
    const int bottom = int(std::ceil((device.top() + device.height()) / ratio));
    return QRect(left, top, right - left, bottom - top);
}

QSize logicalSizeFor(const QSize& device, qreal ratio) {
    if (!(ratio > 0)) return device;
    return QSize(int(std::ceil(device.width() / ratio - 1e-9)),
                 int(std::ceil(device.height() / ratio - 1e-9)));
}

QSize baseSizeFor(const QSize& logical, qreal ratio) {
    const int step = toDevice(1, ratio);
    if (step <= 1) return {0, 0};
    auto base = [&](int length) {
        const int wanted = toDevice(length, ratio);
        for (int b = 0; b < 4 * step; ++b)
            if ((wanted - toDevice(b, ratio)) % step == 0) return b;
        return 0;
    };
    return {base(logical.width()), base(logical.height())};
}

QRect desktopRect(const QList<Monitor>& monitors) {
    QRect all;
    for (const Monitor& m : monitors)
        all |= m.device;
    return all;
}

} // namespace kamsulo::platform
