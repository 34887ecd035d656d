#include "platform/wayland/DesktopBound.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace kamsulo::platform {

namespace {
constexpr int Margin = 2;
// Without outputs to go by: the largest picture the program holds a side.
constexpr int FallbackSide = 16384;
} // namespace

QSize largestDesktopPicture() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return {FallbackSide, FallbackSide};
    qreal scale = 1;
    for (const QScreen* s : QGuiApplication::screens())
        scale = std::max(scale, s->devicePixelRatio());
    const QRect desktop = primary->virtualGeometry();
    return {int(std::ceil(desktop.width() * scale)) * Margin,
            int(std::ceil(desktop.height() * scale)) * Margin};
}

} // namespace kamsulo::platform
