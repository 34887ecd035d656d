#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kamsulo::app {

namespace {

QPixmap drawAppIcon(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    // A camera body in dark grey with a red lens ring and a yellow-green flash.
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5 * s));
    p.setBrush(QColor(0x50, 0x50, 0x58));
    p.drawRoundedRect(QRectF(2 * s, 9 * s, 28 * s, 19 * s), 3 * s, 3 * s);
    p.setBrush(QColor(0x50, 0x50, 0x58));
    p.drawRect(QRectF(10 * s, 5 * s, 10 * s, 5 * s));
    p.setBrush(QColor(0xCE, 0xD8, 0x10));
    p.drawRect(QRectF(23 * s, 11 * s, 4 * s, 3 * s));
    p.setBrush(QColor(0xE0, 0x10, 0x10));
    p.drawEllipse(QPointF(16 * s, 18.5 * s), 7 * s, 7 * s);
    p.setBrush(QColor(0x10, 0x10, 0x18));
    p.drawEllipse(QPointF(16 * s, 18.5 * s), 3.5 * s, 3.5 * s);
    return pm;
}

QIcon themed(const char* name, const char* fallback) {
    static const bool themeSet = [] {
        if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
            QIcon::setThemeName(QStringLiteral("breeze"));
        return true;
    }();
    (void)themeSet;
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    if (icon.isNull() && fallback) icon = QIcon::fromTheme(QString::fromLatin1(fallback));
    return icon;
}

} // namespace

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(drawAppIcon(size));
    return icon;
}

QIcon buttonIcon(int index) {
    QIcon icon;
    switch (index) {
    case 0:
        icon = themed("select-rectangular", "transform-crop");
        break;
    case 1:
        icon = themed("view-fullscreen", "video-display");
        break;
    case 2:
        icon = themed("window", "preferences-system-windows");
        break;
    case 3:
        icon = themed("edit-paste", "edit-copy");
        break;
    case 4:
        icon = themed("draw-brush", "applications-graphics");
        break;
    case 5:
        icon = themed("document-save", "document-save-as");
        break;
    case 6:
        icon = themed("help-about", "dialog-information");
        break;
    case 7:
        icon = themed("document-open", "folder-open");
        break;
    case 8:
        return appIcon();
    default:
        break;
    }
    return icon.isNull() ? appIcon() : icon;
}

} // namespace kamsulo::app
