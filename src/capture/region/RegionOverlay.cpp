#include "capture/region/RegionOverlay.h"

#include "capture/region/LabelText.h"
#include "capture/region/RegionGeometry.h"
#include "capture/region/RegionHost.h"
#include "capture/region/RegionMemory.h"
#include "platform/ScreenGrabber.h"
#include "platform/TimingTrace.h"
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <cmath>
#include <utility>

namespace kamsulo::capture {

namespace {
const QColor outlineColor(255, 0, 0);        // 0x000000FF
const QColor labelBackground(255, 255, 255); // 0x00FFFFFF
const QColor labelText(255, 0, 0);           // 0x000000FF
// Where the label sits until the first press places it (twips).
constexpr float labelDesignLeftTwips = 1200.0f;
constexpr float labelDesignTopTwips = 480.0f;

// One overlay at a time, created for each region capture.
QPointer<RegionOverlay> g_openOverlay;
} // namespace

RegionOverlay* RegionOverlay::current() {
    return g_openOverlay.data();
}

void RegionOverlay::closeOverlay() {
    if (!g_openOverlay) return;
    g_openOverlay->closing_ = true;
    g_openOverlay->close();
}

RegionOverlay* RegionOverlay::showOverlay(RegionHost& host) {
    if (RegionOverlay* open = current(); open && !open->closing_) {
        open->show();
        open->raise();
        return open;
    }
    platform::ScreenGrabber& grabber = platform::screenGrabber();
    const QRect devicePixels = grabber.primaryScreen();
    QRect logical = devicePixels;
    if (QScreen* s = QGuiApplication::primaryScreen()) logical = s->geometry();

    platform::traceTiming("grab-begin");
    auto* overlay = new RegionOverlay(host, grabber.grabRoot(devicePixels), logical);
    g_openOverlay = overlay;
    overlay->show();
    overlay->raise();
    platform::traceTiming("overlay-shown");
    return overlay;
}

RegionOverlay::RegionOverlay(RegionHost& host, QImage frozenScreen, const QRect& screenRect,
                             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::X11BypassWindowManagerHint),
      host_(host), frozen_(std::move(frozenScreen)) {
    setObjectName(QStringLiteral("RegionOverlay"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    // Every pixel comes from the frozen copy: no background fill before painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::CrossCursor);
    setWindowTitle(QString());
    setGeometry(screenRect);

    // A grab that failed leaves a black screen of the right size rather than none.
    const QSize deviceSize = frozen_.isNull() ? screenRect.size() : frozen_.size();
    if (frozen_.isNull()) {
        frozen_ = QImage(deviceSize, QImage::Format_RGB32);
        frozen_.fill(Qt::black);
    }
    if (screenRect.width() > 0 && deviceSize.width() != screenRect.width())
        frozen_.setDevicePixelRatio(qreal(deviceSize.width()) / screenRect.width());

    twipsPerPixelX_ = float(platform::twipsPerPixelX());
    twipsPerPixelY_ = float(platform::twipsPerPixelY());

    sizeLabel_ = new QLabel(this);
    sizeLabel_->setObjectName(QStringLiteral("sizeLabel"));
    sizeLabel_->setAutoFillBackground(true);
    QPalette pal = sizeLabel_->palette();
    pal.setColor(QPalette::Window, labelBackground);
    pal.setColor(QPalette::WindowText, labelText);
    sizeLabel_->setPalette(pal);
    sizeLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    sizeLabel_->hide();
    sizeLabel_->adjustSize();
    // Design position; every press places the label anew before showing it.
    sizeLabel_->move(twipsToPixel(labelDesignLeftTwips, twipsPerPixelX_),
                     twipsToPixel(labelDesignTopTwips, twipsPerPixelY_));
}

RegionOverlay::~RegionOverlay() = default;

float RegionOverlay::toTwipsX(const QMouseEvent* e) const {
    return float(e->position().x()) * twipsPerPixelX_;
}

float RegionOverlay::toTwipsY(const QMouseEvent* e) const {
    return float(e->position().y()) * twipsPerPixelY_;
}

void RegionOverlay::mousePressEvent(QMouseEvent* e) {
    startSelection(toTwipsX(e), toTwipsY(e));
}

void RegionOverlay::mouseDoubleClickEvent(QMouseEvent* e) {
    startSelection(toTwipsX(e), toTwipsY(e));
}

void RegionOverlay::mouseMoveEvent(QMouseEvent* e) {
    followPointer(toTwipsX(e), toTwipsY(e));
}

void RegionOverlay::mouseReleaseEvent(QMouseEvent* e) {
    finishSelection(toTwipsX(e), toTwipsY(e));
}

void RegionOverlay::startSelection(float x, float y) {
    if (closing_) return;
    sizeLabel_->show();
    placeLabel(x, y);
    regionMemory().anchorX = x;
    regionMemory().anchorY = y;
    setOutline(QRect());
    selecting_ = true;
}

void RegionOverlay::followPointer(float x, float y) {
    if (!selecting_ || closing_) return;
    const RegionMemory& m = regionMemory();
    setOutline(outlinePixels(m.anchorX, m.anchorY, x, y, twipsPerPixelX_, twipsPerPixelY_));
    sizeLabel_->setText(
        sizeLabelText(x, y, m.anchorX, m.anchorY, twipsPerPixelX_, twipsPerPixelY_));
    placeLabel(x, y);
}

void RegionOverlay::finishSelection(float x, float y) {
    platform::traceTiming("region-release");
    if (closing_) return;
    closing_ = true;
    const RegionMemory& m = regionMemory();

    host_.clearCanvasPicture();
    if (isLargeEnough(m.anchorX, m.anchorY, x, y)) {
        const QRect logical =
            cropPixels(cropTwips(m.anchorX, m.anchorY, x, y), twipsPerPixelX_, twipsPerPixelY_);
        const QRect crop = toFrozenPixels(logical).intersected(frozen_.rect());
        if (!crop.isEmpty()) {
            QImage picture = frozen_.copy(crop);
            picture.setDevicePixelRatio(1.0);
            host_.handOverPicture(picture);
            platform::traceTiming("picture-handed-over");
        }
    }

    selecting_ = false;
    host_.showMainWindowNormal();
    host_.resetScrollBars();
    host_.updateCanvasToolTip();

    sizeLabel_->hide();
    close();
    platform::traceTiming("release-handled");
}

void RegionOverlay::setOutline(const QRect& outline) {
    if (outline == outline_) return;
    update(outlineStrips(outline_) + outlineStrips(outline));
    outline_ = outline;
}

void RegionOverlay::placeLabel(float x, float y) {
    const QPoint pos(twipsToPixel(x + labelOffsetTwips, twipsPerPixelX_),
                     twipsToPixel(y + labelOffsetTwips, twipsPerPixelY_));
    // One geometry change per move, so only the old and the new label are exposed.
    const QRect wanted(pos, sizeLabel_->sizeHint());
    if (sizeLabel_->geometry() != wanted) sizeLabel_->setGeometry(wanted);
}

QRect RegionOverlay::toFrozenPixels(const QRect& logical) const {
    const qreal dpr = frozen_.devicePixelRatio();
    if (dpr == 1.0) return logical;
    const int left = int(std::lround(logical.left() * dpr));
    const int top = int(std::lround(logical.top() * dpr));
    const int right = int(std::lround((logical.left() + logical.width()) * dpr));
    const int bottom = int(std::lround((logical.top() + logical.height()) * dpr));
    return QRect(left, top, right - left, bottom - top);
}

void RegionOverlay::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    // Only the exposed parts of the frozen copy are drawn again.
    for (const QRect& r : e->region()) {
        const QRect source = toFrozenPixels(r);
        if (source == r)
            p.drawImage(r.topLeft(), frozen_, source);
        else
            p.drawImage(QRectF(r), frozen_, QRectF(source));
    }
    if (!outline_.isEmpty()) {
        for (const QRect& strip : outlineStrips(outline_))
            p.fillRect(strip, outlineColor);
    }
}

} // namespace kamsulo::capture
