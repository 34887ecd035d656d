#include "app/CanvasView.h"

#include <QPaintEvent>
#include <QPainter>

namespace kamsulo::app {

void CanvasView::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    if (!image_.isNull()) p.drawImage(e->rect(), image_, e->rect());
}

} // namespace kamsulo::app
