#include "annotate/forms/PaletteBox.h"

#include "annotate/forms/BgrColor.h"
#include "annotate/forms/ColorChooser.h"
#include "platform/Twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace kamsulo::annotate {

using platform::twipsToPixelsX;
using platform::twipsToPixelsY;

namespace {
constexpr quint32 kButtonFace = 0x8000000F;

QRect pixelRect(const QRectF& twips) {
    const int l = twipsToPixelsX(twips.left()), t = twipsToPixelsY(twips.top());
    const int r = twipsToPixelsX(twips.right()), b = twipsToPixelsY(twips.bottom());
    return QRect(l, t, r - l, b - t);
}
} // namespace

PaletteBox::PaletteBox(QWidget* parent) : QWidget(parent) {}

void PaletteBox::paintCells(double widthTwips, double heightTwips,
                            const std::vector<PaletteCell>& cells) {
    const QSize size(std::max(1, twipsToPixelsX(widthTwips)),
                     std::max(1, twipsToPixelsY(heightTwips)));
    setFixedSize(size);
    image_ = QImage(size, QImage::Format_RGB32);
    const qint64 face = ResolveColor(kButtonFace);
    image_.fill(face < 0 ? QColor(Qt::lightGray) : bgrToQColor(quint32(face)));
    QPainter p(&image_);
    for (const PaletteCell& cell : cells)
        p.fillRect(pixelRect(cell.twips), bgrToQColor(cell.bgr));
    update();
}

quint32 PaletteBox::pointColor(QPoint pos) const {
    if (!image_.valid(pos)) return 0;
    return rgbToBgr(image_.pixel(pos));
}

void PaletteBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void PaletteBox::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->position().toPoint());
}

} // namespace kamsulo::annotate
