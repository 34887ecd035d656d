#include "capture/region/frmDummy.h"

#include "capture/region/LabelText.h"
#include "capture/region/RegionGeometry.h"
#include "capture/region/RegionHost.h"
#include "capture/region/RegionMemory.h"
#include "platform/ScreenGrabber.h"
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
const QColor outlineColor(255, 0, 0); // 0x000000FF

// One overlay at a time, created for each region capture.
QPointer<frmDummy> g_instance;
} // namespace

frmDummy* frmDummy::current() {
    return g_instance.data();
}

void frmDummy::unloadOverlay() {
    if (!g_instance) return;
    g_instance->unloading_ = true;
    g_instance->close();
}

frmDummy* frmDummy::showOverlay(RegionHost& host) {
    if (frmDummy* open = current(); open && !open->unloading_) {
        open->show();
        open->raise();
        return open;
    }
    platform::ScreenGrabber& grabber = platform::screenGrabber();
    const QRect devicePixels = grabber.primaryScreen();
    QRect logical = devicePixels;
    if (QScreen* s = QGuiApplication::primaryScreen()) logical = s->geometry();

    auto* overlay = new frmDummy(host, grabber.grabRoot(devicePixels), logical);
    g_instance = overlay;
    overlay->show();
    overlay->raise();
    return overlay;
}

frmDummy::frmDummy(RegionHost& host, QImage frozenScreen, const QRect& screenRect, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::X11BypassWindowManagerHint),
      host_(host), frozen_(std::move(frozenScreen)) {
    setObjectName(QStringLiteral("frmDummy"));
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

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAutoFillBackground(true);
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 255)); // 0x00FFFFFF
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0)); // 0x000000FF
    Label1->setPalette(pal);
    Label1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label1->hide();

    Form_Load();
}

frmDummy::~frmDummy() = default;

void frmDummy::Form_Load() {
    twipsPerPixelX = float(platform::twipsPerPixelX());
    twipsPerPixelY = float(platform::twipsPerPixelY());
    Label1->setText(QString());
    Label1->adjustSize();
    // Design position; every press places the label anew before showing it.
    Label1->move(twipsToPixel(1200, twipsPerPixelX), twipsToPixel(480, twipsPerPixelY));
}

float frmDummy::toTwipsX(const QMouseEvent* e) const {
    return float(e->position().x()) * twipsPerPixelX;
}

float frmDummy::toTwipsY(const QMouseEvent* e) const {
    return float(e->position().y()) * twipsPerPixelY;
}

void frmDummy::mousePressEvent(QMouseEvent* e) {
    Form_MouseDown(toTwipsX(e), toTwipsY(e));
}

void frmDummy::mouseDoubleClickEvent(QMouseEvent* e) {
    Form_MouseDown(toTwipsX(e), toTwipsY(e));
}

void frmDummy::mouseMoveEvent(QMouseEvent* e) {
    Form_MouseMove(toTwipsX(e), toTwipsY(e));
}

void frmDummy::mouseReleaseEvent(QMouseEvent* e) {
    Form_MouseUp(toTwipsX(e), toTwipsY(e));
}

void frmDummy::Form_MouseDown(float x, float y) {
    if (unloading_) return;
    Label1->show();
    placeLabel(x, y);
    regionMemory().anchorX = x;
    regionMemory().anchorY = y;
    setOutline(QRect());
    selecting = true;
}

void frmDummy::Form_MouseMove(float x, float y) {
    if (!selecting || unloading_) return;
    const RegionMemory& m = regionMemory();
    setOutline(outlinePixels(m.anchorX, m.anchorY, x, y, twipsPerPixelX, twipsPerPixelY));
    Label1->setText(labelCaption(x, y, m.anchorX, m.anchorY, twipsPerPixelX, twipsPerPixelY));
    placeLabel(x, y);
}

void frmDummy::Form_MouseUp(float x, float y) {
    if (unloading_) return;
    unloading_ = true;
    const RegionMemory& m = regionMemory();

    host_.clearCanvasPicture();
    if (isLargeEnough(m.anchorX, m.anchorY, x, y)) {
        const QRect logical =
            cropPixels(cropTwips(m.anchorX, m.anchorY, x, y), twipsPerPixelX, twipsPerPixelY);
        const QRect crop = toFrozenPixels(logical).intersected(frozen_.rect());
        if (!crop.isEmpty()) {
            QImage picture = frozen_.copy(crop);
            picture.setDevicePixelRatio(1.0);
            host_.handOverPicture(picture);
        }
    }

    selecting = false;
    host_.showMainWindowNormal();
    host_.scroll_init();
    host_.tool_tipp();

    Label1->hide();
    close();
}

void frmDummy::setOutline(const QRect& outline) {
    if (outline == outline_) return;
    update(outlineStrips(outline_) + outlineStrips(outline));
    outline_ = outline;
}

void frmDummy::placeLabel(float x, float y) {
    const QPoint pos(twipsToPixel(x + labelOffsetTwips, twipsPerPixelX),
                     twipsToPixel(y + labelOffsetTwips, twipsPerPixelY));
    // One geometry change per move, so only the old and the new label are exposed.
    const QRect wanted(pos, Label1->sizeHint());
    if (Label1->geometry() != wanted) Label1->setGeometry(wanted);
}

QRect frmDummy::toFrozenPixels(const QRect& logical) const {
    const qreal dpr = frozen_.devicePixelRatio();
    if (dpr == 1.0) return logical;
    const int left = int(std::lround(logical.left() * dpr));
    const int top = int(std::lround(logical.top() * dpr));
    const int right = int(std::lround((logical.left() + logical.width()) * dpr));
    const int bottom = int(std::lround((logical.top() + logical.height()) * dpr));
    return QRect(left, top, right - left, bottom - top);
}

void frmDummy::paintEvent(QPaintEvent* e) {
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
