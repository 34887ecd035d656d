#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace kamsulo::platform {

namespace {
double g_override = 0;

double fromDpi(qreal dpi) {
    if (!(dpi > 0)) return 15;
    return 1440.0 / dpi;
}
} // namespace

double twipsPerPixelX() {
    if (g_override > 0) return g_override;
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? fromDpi(s->logicalDotsPerInchX()) : 15;
}

double twipsPerPixelY() {
    if (g_override > 0) return g_override;
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? fromDpi(s->logicalDotsPerInchY()) : 15;
}

void setTwipsPerPixelOverride(double tpp) {
    g_override = tpp > 0 ? tpp : 0;
}

int twipsToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelX()));
}
int twipsToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelY()));
}
double pixelsToTwipsX(double px) {
    return px * twipsPerPixelX();
}
double pixelsToTwipsY(double px) {
    return px * twipsPerPixelY();
}

void placeTwips(QWidget* w, double left, double top, double width, double height) {
    if (!w) return;
    w->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), std::max(0, twipsToPixelsX(width)),
                   std::max(0, twipsToPixelsY(height)));
}

void resizeClientTwips(QWidget* w, double width, double height) {
    if (!w) return;
    w->resize(std::max(1, twipsToPixelsX(width)), std::max(1, twipsToPixelsY(height)));
}

} // namespace kamsulo::platform
