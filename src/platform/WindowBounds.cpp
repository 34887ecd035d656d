#include "platform/WindowBounds.h"

#include <QPainter>

#include <algorithm>

namespace kamsulo::platform {

namespace {
QMargins atLeastNone(const QMargins& m) {
    return QMargins(std::max(m.left(), 0), std::max(m.top(), 0), std::max(m.right(), 0),
                    std::max(m.bottom(), 0));
}
} // namespace

QRect seenWindowRect(const QRect& client, const QMargins& frame, const QMargins& shadow) {
    const QRect framed = client.marginsAdded(atLeastNone(frame));
    const QMargins inner = atLeastNone(shadow);
    if (inner.left() + inner.right() >= framed.width() ||
        inner.top() + inner.bottom() >= framed.height())
        return framed;
    return framed.marginsRemoved(inner);
}

QRect partOnMonitors(const QRect& window, const QList<Monitor>& monitors) {
    QRect part;
    for (const Monitor& m : monitors)
        part |= window & m.device;
    return part;
}

QRegion offMonitors(const QRect& rect, const QList<Monitor>& monitors) {
    QRegion off(rect);
    for (const Monitor& m : monitors)
        off -= m.device;
    return off.translated(-rect.topLeft());
}

QImage windowPicture(const QRect& outer, const QList<Monitor>& monitors, const QRect& screen,
                     const std::function<QImage(const QRect&)>& grab) {
    const QRect seen = partOnMonitors(outer, monitors);
    if (seen.isEmpty()) return grab(screen);
    QImage picture = grab(seen);
    const QRegion gaps = offMonitors(seen, monitors);
    if (!picture.isNull() && !gaps.isEmpty()) {
        QPainter painter(&picture);
        for (const QRect& gap : gaps)
            painter.fillRect(gap, Qt::black);
    }
    return picture;
}

} // namespace kamsulo::platform
