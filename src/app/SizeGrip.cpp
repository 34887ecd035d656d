#include "app/SizeGrip.h"

#include <QPainter>
#include <QTimerEvent>

namespace kamsulo::app {

SizeGrip::SizeGrip(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    timerId_ = startTimer(180);
}

void SizeGrip::paintEvent(QPaintEvent*) {
    // Three diagonal rows of dots; a red highlight runs along them.
    QPainter p(this);
    const int d = 3;
    int n = 0;
    for (int row = 0; row < 3; ++row) {
        for (int k = 0; k <= row; ++k, ++n) {
            const int x = width() - d * (row - k + 1) - (row - k);
            const int y = height() - d * (k + 1) - k;
            p.fillRect(x, y, d - 1, d - 1, n == phase_ ? QColor(220, 20, 20) : QColor(90, 90, 90));
        }
    }
}

void SizeGrip::timerEvent(QTimerEvent* e) {
    if (e->timerId() != timerId_) return;
    if (!isVisible()) return;
    phase_ = (phase_ + 1) % 6;
    update();
}

} // namespace kamsulo::app
