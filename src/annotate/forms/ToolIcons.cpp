#include "annotate/forms/ToolIcons.h"

#include "annotate/forms/ToolTable.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace kamsulo::annotate {

namespace {

constexpr int kSize = 20;
const QColor kInk(40, 40, 40);
const QColor kAccent(200, 30, 30);

void arrowHead(QPainter& p, QPointF tip, QPointF from, bool filled) {
    const QLineF shaft(tip, from);
    QLineF a = shaft, b = shaft;
    a.setLength(7);
    b.setLength(7);
    a.setAngle(shaft.angle() + 28);
    b.setAngle(shaft.angle() - 28);
    if (filled) {
        p.setBrush(p.pen().color());
        p.drawPolygon(QPolygonF{tip, a.p2(), b.p2()});
        p.setBrush(Qt::NoBrush);
    } else {
        p.drawLine(a);
        p.drawLine(b);
    }
}

void drawTool(QPainter& p, ToolId tool) {
    QPen pen(kInk, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    switch (tool) {
    case ToolId::Freehand: {
        QPainterPath path(QPointF(3, 15));
        path.cubicTo(6, 2, 10, 20, 13, 8);
        path.cubicTo(14, 5, 16, 5, 17, 7);
        p.drawPath(path);
        break;
    }
    case ToolId::Rectangle:
        p.drawRect(QRectF(3, 5, 14, 10));
        break;
    case ToolId::Text: {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPixelSize(17);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case ToolId::Oval:
        p.drawEllipse(QRectF(2.5, 5, 15, 10));
        break;
    case ToolId::Line:
        p.drawLine(QPointF(3, 17), QPointF(17, 3));
        break;
    case ToolId::TransparentRect:
        p.fillRect(QRectF(3, 5, 14, 10), QColor(120, 170, 230, 140));
        p.drawRect(QRectF(3, 5, 14, 10));
        break;
    case ToolId::Marker:
        p.setPen(QPen(QColor(250, 230, 0), 6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(2, 12), QPointF(18, 12));
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(3, 6), QPointF(17, 6));
        break;
    case ToolId::Eraser: {
        p.setBrush(QColor(240, 150, 160));
        p.setPen(QPen(kInk, 1.2));
        QPolygonF body{{4, 13}, {11, 4}, {17, 9}, {10, 17}};
        p.drawPolygon(body);
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF{{4, 13}, {7.5, 8.5}, {13.5, 13.5}, {10, 17}});
        break;
    }
    case ToolId::Pipette:
        p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 16), QPointF(12, 8));
        p.setPen(QPen(kInk, 4.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13, 7), QPointF(16, 4));
        p.setPen(QPen(kAccent, 2));
        p.drawPoint(QPointF(3, 17));
        break;
    case ToolId::FilledArrow:
        p.drawLine(QPointF(3, 17), QPointF(15, 5));
        arrowHead(p, QPointF(17, 3), QPointF(3, 17), true);
        break;
    case ToolId::Arrow:
        p.drawLine(QPointF(3, 17), QPointF(17, 3));
        arrowHead(p, QPointF(17, 3), QPointF(3, 17), false);
        break;
    case ToolId::RoundRect:
        p.drawRoundedRect(QRectF(3, 5, 14, 10), 4, 4);
        break;
    case ToolId::DottedRect:
        p.setPen(QPen(kInk, 1, Qt::DotLine));
        p.drawRect(QRectF(3.5, 5.5, 13, 9));
        break;
    case ToolId::None:
        break;
    }
}

QPixmap blank() {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

} // namespace

QPixmap toolPicture(ToolId tool) {
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawTool(p, tool);
    return pm;
}

QPixmap undoPicture() {
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath path(QPointF(6, 8));
    path.cubicTo(12, 3, 19, 7, 16, 14);
    path.lineTo(12, 17);
    p.drawPath(path);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF{{2, 8}, {9, 4}, {8, 12}});
    return pm;
}

QPixmap widthPicture(int widthPixels, QSize size) {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const int y = size.height() / 2 - widthPixels / 2;
    p.fillRect(QRect(2, y, size.width() - 4, widthPixels), Qt::black);
    return pm;
}

} // namespace kamsulo::annotate
