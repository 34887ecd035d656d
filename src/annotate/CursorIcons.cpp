#include "annotate/CursorIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kamsulo::annotate {

namespace {
constexpr int kSize = 32;

QPixmap blank() {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

// A slanted pen-like body from its tip at the lower left, in the given colour.
QCursor slantedTool(const QColor& body, const QColor& tip, double width) {
    QPixmap pm = blank();
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(2, 29);
        p.rotate(-45);
        QPainterPath shape;
        shape.moveTo(0, 0);
        shape.lineTo(7, -width / 2);
        shape.lineTo(36, -width / 2);
        shape.lineTo(36, width / 2);
        shape.lineTo(7, width / 2);
        shape.closeSubpath();
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(body);
        p.drawPath(shape);
        p.setBrush(tip);
        p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(7, -width / 2), QPointF(7, width / 2)}));
    }
    return QCursor(pm, 1, 30);
}

QCursor crosshair() {
    QPixmap pm = blank();
    {
        QPainter p(&pm);
        for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 3}, {Qt::black, 1}}) {
            p.setPen(QPen(colour, width));
            p.drawLine(16, 3, 16, 12);
            p.drawLine(16, 20, 16, 29);
            p.drawLine(3, 16, 12, 16);
            p.drawLine(20, 16, 29, 16);
        }
        p.setPen(Qt::black);
        p.drawPoint(16, 16);
    }
    return QCursor(pm, 16, 16);
}

QCursor eraser() {
    QPixmap pm = blank();
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(QColor(250, 170, 190));
        p.drawRoundedRect(QRectF(6, 10, 20, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 10, 7, 12));
    }
    return QCursor(pm, 16, 16);
}

QCursor ibeam() {
    QPixmap pm = blank();
    {
        QPainter p(&pm);
        for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 3}, {Qt::black, 1}}) {
            p.setPen(QPen(colour, width));
            p.drawLine(16, 6, 16, 26);
            p.drawLine(12, 6, 20, 6);
            p.drawLine(12, 26, 20, 26);
        }
    }
    return QCursor(pm, 16, 16);
}
} // namespace

QCursor cursorForIcon(CursorIcon icon) {
    switch (icon) {
    case CursorIcon::Marker:
        return slantedTool(QColor(255, 235, 0), QColor(255, 235, 0), 10);
    case CursorIcon::Eraser:
        return eraser();
    case CursorIcon::Freehand:
        return slantedTool(QColor(240, 200, 90), QColor(60, 60, 60), 6);
    case CursorIcon::Text:
        return ibeam();
    case CursorIcon::Pipette:
        return slantedTool(QColor(200, 220, 240), QColor(120, 120, 120), 5);
    case CursorIcon::Hand:
        break;
    }
    return crosshair();
}

} // namespace kamsulo::annotate
