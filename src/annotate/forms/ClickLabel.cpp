#include "annotate/forms/ClickLabel.h"

#include "annotate/forms/BgrColor.h"

#include <QMouseEvent>

namespace kamsulo::annotate {

void ClickLabel::setBackColor(quint32 bgr) {
    backColor_ = bgr & 0x00FFFFFF;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, bgrToQColor(backColor_));
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
