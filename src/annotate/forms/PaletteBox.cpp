#include "annotate/forms/PaletteBox.h"

#include "annotate/Bgr.h"
#include "annotate/forms/ColorChooser.h"
#include "platform/Twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace kamsulo::annotate {

using platform::twipsToPixelsX;
using platform::twipsToPixelsY;

namespace {
constexpr quint32 kButtonFaceColor = 0x8000000F; // the system colour "button face"

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
    const qint64 face = resolveColor(kButtonFaceColor);
    image_.fill(face < 0 ? QColor(Qt::lightGray) : bgrColor(quint32(face)));
    QPainter p(&image_);
    for (const PaletteCell& cell : cells)
        p.fillRect(pixelRect(cell.twips), bgrColor(cell.bgr));
    update();
}

quint32 PaletteBox::colorAt(QPoint pos) const {
    if (!image_.valid(pos)) return 0;
    return rgbToBgr(image_.pixel(pos));
}

void PaletteBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void PaletteBox::mousePressEvent(QMouseEvent* e) {
    emit pressedAt(e->position().toPoint());
}

} // namespace kamsulo::annotate
