#include "capture/region/RegionOverlay.h"

#include "capture/region/LabelText.h"
#include "capture/region/RegionGeometry.h"
#include "capture/region/RegionHost.h"
#include "capture/region/RegionMemory.h"
#include "platform/DevicePixels.h"
#include "platform/PointerPosition.h"
#include "platform/ScreenGrabber.h"
#include "platform/ScreenScale.h"
#include "platform/TimingTrace.h"
#include "platform/Twips.h"
#include "platform/WindowPlacement.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWindow>
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

// The overlays of one region capture, one per monitor; the primary's first.
QList<QPointer<RegionOverlay>> g_openOverlays;

// The desktop frozen as the monitors show it: black where none does.
platform::GrabAnswer freezeDesktop(platform::ScreenGrabber& grabber,
                                   const QList<platform::Monitor>& monitors, const QRect& desktop) {
    platform::GrabAnswer answer = grabber.grabNow({platform::GrabTarget::Rectangle, desktop});
    QImage& frozen = answer.picture;
    if (frozen.isNull()) return answer;
    QRegion gaps(frozen.rect());
    for (const platform::Monitor& m : monitors)
        gaps -= m.device.translated(-desktop.topLeft());
    if (!gaps.isEmpty()) {
        QPainter p(&frozen);
        for (const QRect& r : gaps)
            p.fillRect(r, Qt::black);
    }
    return answer;
}

QRect deviceSize(const QRect& screenRect, const QImage& frozen) {
    return QRect(screenRect.topLeft(), frozen.isNull() ? screenRect.size() : frozen.size());
}

// A monitor on its own: its logical rectangle shows the frozen screen.
DesktopPixels alone(const QRect& screenRect, const QImage& frozen) {
    const QRect device = deviceSize(screenRect, frozen);
    const qreal ratio = screenRect.width() > 0 ? qreal(device.width()) / screenRect.width() : 1.0;
    return DesktopPixels({{QRectF(screenRect), device, ratio}});
}
} // namespace

RegionOverlay* RegionOverlay::current() {
    for (const QPointer<RegionOverlay>& o : std::as_const(g_openOverlays))
        if (o) return o.data();
    return nullptr;
}

void RegionOverlay::closeOverlay() {
    const QList<QPointer<RegionOverlay>> open = g_openOverlays;
    for (const QPointer<RegionOverlay>& o : open) {
        if (!o) continue;
        o->closing_ = true;
        o->close();
    }
}

RegionOverlay* RegionOverlay::showOverlay(RegionHost& host) {
    if (RegionOverlay* open = current(); open && !open->closing_) {
        for (RegionOverlay* o : open->siblings()) {
            o->show();
            o->raise();
        }
        return open;
    }
    platform::ScreenGrabber& grabber = platform::screenGrabber();
    const QList<platform::Monitor> monitors = grabber.monitors();
    const QRect desktop = platform::desktopRect(monitors) & grabber.rootRect();

    platform::traceTiming("grab-begin");
    const platform::GrabAnswer answer = freezeDesktop(grabber, monitors, desktop);
    const QImage& frozen = answer.picture;
    if (frozen.isNull() && !answer.failure.isEmpty()) {
        // The desktop refused the copy: no overlay, and the main window comes back.
        host.refused(answer.failure);
        host.setCaptureFailure(answer.failure);
        host.showMainWindowNormal();
        return nullptr;
    }
    QList<QScreen*> screens = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        screens.removeAll(primary);
        screens.prepend(primary);
    }
    QList<QScreen*> shown;
    QList<MonitorPixels> pixels;
    for (QScreen* s : std::as_const(screens)) {
        const QRect device = platform::screenDeviceRect(s, monitors) & desktop;
        if (device.isEmpty()) continue;
        shown.append(s);
        pixels.append({platform::logicalPlaneRect(s, device), device, platform::deviceRatio(s)});
    }
    g_openOverlays.clear();
    for (int i = 0; i < shown.size(); ++i) {
        QScreen* s = shown[i];
        auto* overlay =
            new RegionOverlay(host, frozen, desktop, s->geometry(), DesktopPixels(pixels), i);
        g_openOverlays.append(overlay);
        overlay->create();
        if (QWindow* w = overlay->windowHandle()) w->setScreen(s);
        overlay->setGeometry(s->geometry());
    }
    for (RegionOverlay* o : current() ? current()->siblings() : QList<RegionOverlay*>()) {
        platform::showOverScreen(*o);
        o->raise();
    }
    platform::traceTiming("overlay-shown");
    return current();
}

RegionOverlay::RegionOverlay(RegionHost& host, QImage frozenScreen, const QRect& screenRect,
                             QWidget* parent)
    : RegionOverlay(host, frozenScreen, deviceSize(screenRect, frozenScreen), screenRect,
                    alone(screenRect, frozenScreen), 0, parent) {}

RegionOverlay::RegionOverlay(RegionHost& host, QImage frozenDesktop, const QRect& desktopDevice,
                             const QRect& screenRect, DesktopPixels pixels, int monitor,
                             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::X11BypassWindowManagerHint),
      host_(host), frozen_(std::move(frozenDesktop)), desktop_(desktopDevice),
      pixels_(std::move(pixels)) {
    const MonitorPixels& own = pixels_.monitors().at(monitor);
    device_ = own.device;
    ratio_ = own.ratio > 0 ? own.ratio : 1.0;
    corner_ = own.logical.topLeft();
    platform::followPointerEvents();
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

    // A grab that failed leaves a black desktop of the right size rather than none.
    if (frozen_.isNull()) {
        frozen_ = QImage(desktop_.size(), QImage::Format_RGB32);
        frozen_.fill(Qt::black);
    }
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
    sizeLabel_->move(toLogical(QRect(device_.topLeft() +
                                         QPoint(twipsToPixel(labelDesignLeftTwips, twipsPerPixelX_),
                                                twipsToPixel(labelDesignTopTwips, twipsPerPixelY_)),
                                     QSize(1, 1)))
                         .topLeft());
}

RegionOverlay::~RegionOverlay() = default;

// Qt rounds position() to whole logical pixels, which hides every second device pixel at
// a scale of 2; scenePosition(), the position in the window, keeps the fractions.
QPointF RegionOverlay::toTwips(const QMouseEvent* e) const {
    const QPoint estimate = pixels_.deviceAt(corner_ + e->scenePosition());
    const QPoint device = platform::eventOnDesktop(*e, *this, estimate);
    return {device.x() * double(twipsPerPixelX_), device.y() * double(twipsPerPixelY_)};
}

QList<RegionOverlay*> RegionOverlay::siblings() {
    QList<RegionOverlay*> all;
    for (const QPointer<RegionOverlay>& o : std::as_const(g_openOverlays))
        if (o) all.append(o.data());
    if (!all.contains(this)) return {this};
    return all;
}

void RegionOverlay::mousePressEvent(QMouseEvent* e) {
    const QPointF at = toTwips(e);
    startSelection(float(at.x()), float(at.y()));
}

void RegionOverlay::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPointF at = toTwips(e);
    startSelection(float(at.x()), float(at.y()));
}

void RegionOverlay::mouseMoveEvent(QMouseEvent* e) {
    const QPointF at = toTwips(e);
    followPointer(float(at.x()), float(at.y()));
}

void RegionOverlay::mouseReleaseEvent(QMouseEvent* e) {
    const QPointF at = toTwips(e);
    finishSelection(float(at.x()), float(at.y()));
}

void RegionOverlay::startSelection(float x, float y) {
    if (closing_) return;
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
        const QRect device =
            cropPixels(cropTwips(m.anchorX, m.anchorY, x, y), twipsPerPixelX_, twipsPerPixelY_);
        const QRect crop = device.translated(-desktop_.topLeft()).intersected(frozen_.rect());
        if (!crop.isEmpty()) {
            host_.handOverPicture(frozen_.copy(crop));
            platform::traceTiming("picture-handed-over");
        }
    }

    host_.showMainWindowNormal();
    host_.resetScrollBars();
    host_.updateCanvasToolTip();

    for (RegionOverlay* o : siblings()) {
        o->selecting_ = false;
        o->closing_ = true;
        o->sizeLabel_->hide();
        o->close();
    }
    platform::traceTiming("release-handled");
}

void RegionOverlay::setOutline(const QRect& outline) {
    for (RegionOverlay* o : siblings()) {
        if (outline == o->outline_) continue;
        QRegion dirty;
        for (const QRect& strip : outlineStrips(o->outline_) + outlineStrips(outline))
            dirty += o->toLogical(strip);
        o->update(dirty);
        o->outline_ = outline;
    }
}

void RegionOverlay::placeLabel(float x, float y) {
    showLabelAt(QPoint(twipsToPixel(x + labelOffsetTwips, twipsPerPixelX_),
                       twipsToPixel(y + labelOffsetTwips, twipsPerPixelY_)));
}

// The label shows on the monitor that has the pointer, the others hide theirs.
void RegionOverlay::showLabelAt(const QPoint& device) {
    const QList<RegionOverlay*> all = siblings();
    RegionOverlay* shows = this;
    for (RegionOverlay* o : all)
        if (o->device_.contains(device)) shows = o;
    for (RegionOverlay* o : all) {
        if (o != shows) {
            o->sizeLabel_->hide();
            continue;
        }
        if (o != this) o->sizeLabel_->setText(sizeLabel_->text());
        // One geometry change per move, so only the old and the new label are exposed.
        const QRect wanted(o->toLogical(QRect(device, QSize(1, 1))).topLeft(),
                           o->sizeLabel_->sizeHint());
        if (o->sizeLabel_->geometry() != wanted) o->sizeLabel_->setGeometry(wanted);
        o->sizeLabel_->show();
    }
}

QRect RegionOverlay::toLogical(const QRect& device) const {
    return platform::coveringLogical(device.translated(-device_.topLeft()), ratio_);
}

void RegionOverlay::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.setClipRegion(e->region());
    // Painted in device pixels: the frozen desktop one to one, whatever the scale.
    p.scale(1 / ratio_, 1 / ratio_);
    const QPoint shown = device_.topLeft() - desktop_.topLeft();
    // Only the exposed parts of the frozen copy are drawn again.
    for (const QRect& r : e->region()) {
        const QRect local = platform::toDevice(r, ratio_).adjusted(-1, -1, 1, 1);
        p.drawImage(local.topLeft(), frozen_, local.translated(shown));
    }
    if (!outline_.isEmpty()) {
        for (const QRect& strip : outlineStrips(outline_))
            p.fillRect(strip.translated(-device_.topLeft()), outlineColor);
    }
}

} // namespace kamsulo::capture
