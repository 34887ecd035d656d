#include "app/Banner.h"

#include "app/Layout.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace kamsulo::app {

namespace {
QLabel* makeTitle(QWidget* parent, QColor colour) {
    auto* l = new QLabel(QStringLiteral("Kamsulo"), parent);
    QFont f(QStringLiteral("Times New Roman"));
    f.setPointSizeF(36);
    f.setItalic(true);
    f.setWeight(QFont::Normal);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    l->setAttribute(Qt::WA_TranslucentBackground);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->adjustSize();
    return l;
}
} // namespace

Banner::Banner(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    // The shadow first, so that the yellow-green text lies on top of it.
    titleLabels[1] = makeTitle(this, QColor(0x40, 0x40, 0x40));
    titleLabels[0] = makeTitle(this, QColor(0xCE, 0xD8, 0x10));
}

void Banner::paintGradient() {
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    if (image_.size() != QSize(w, h)) image_ = QImage(w, h, QImage::Format_RGB32);
    QPainter p(&image_);
    // Vertical scale 0..510, horizontal in pixels; band i covers 2i to 2i + 2.
    for (int i = 0; i < 256; ++i) {
        const int top = static_cast<int>(roundEven(2.0 * i * h / 510.0));
        const int bottom = static_cast<int>(roundEven((2.0 * i + 2) * h / 510.0));
        if (bottom > top) p.fillRect(0, top, w, std::min(bottom, h) - top, QColor(i, 0, 0));
    }
    update();
}

void Banner::placeLabels() {
    const double h = std::max(1, height());
    for (int i = 0; i < 2; ++i) {
        QLabel* l = titleLabels[i];
        const long long left = centredLabelPos(width(), l->width());
        // Vertically in the banner's 510 units, then back to pixels.
        const double labelUnits = l->height() * 510.0 / h;
        long long top = centredLabelPos(510.0, labelUnits);
        if (i == 1) top += 4;
        const long long leftPx = left + (i == 1 ? 3 : 0);
        l->move(static_cast<int>(leftPx), static_cast<int>(roundEven(top * h / 510.0)));
    }
}

void Banner::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    if (!image_.isNull()) p.drawImage(e->rect(), image_, e->rect());
}

void Banner::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMoved();
    QWidget::mouseMoveEvent(e);
}

} // namespace kamsulo::app
