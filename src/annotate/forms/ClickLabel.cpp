#include "annotate/forms/ClickLabel.h"

#include "annotate/Bgr.h"

#include <QMouseEvent>

namespace kamsulo::annotate {

void ClickLabel::setColor(quint32 bgr) {
    color_ = bgr & 0x00FFFFFF;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, bgrColor(color_));
    setPalette(pal);
    setAutoFillBackground(true);
}

void ClickLabel::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* e) {
    const bool click =
        pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    e->accept();
    if (click) emit clicked();
}

} // namespace kamsulo::annotate
