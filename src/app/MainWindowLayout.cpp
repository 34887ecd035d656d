// MainWindow: window layout, the viewport and its scroll bars, the banner and the
// hover colours of the button row.
#include "annotate/Canvas.h"
#include "annotate/forms/CanvasToolTip.h"
#include "annotate/forms/PaletteStrip.h"
#include "app/Banner.h"
#include "app/Layout.h"
#include "app/MainWindow.h"
#include "app/SizeGrip.h"
#include "app/TrayIcon.h"
#include "info/InfoDialog.h"
#include "platform/DevicePixels.h"
#include "platform/Twips.h"
#include "platform/WindowFrame.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>
#include <QWindow>
#include <cstdlib>

namespace kamsulo::app {

using platform::pixelsToTwipsX;
using platform::pixelsToTwipsY;
using platform::twipsToPixelsX;
using platform::twipsToPixelsY;

namespace {
double wTw(const QWidget* w) {
    return pixelsToTwipsX(w->width());
}
double hTw(const QWidget* w) {
    return pixelsToTwipsY(w->height());
}
double xTw(const QWidget* w) {
    return pixelsToTwipsX(w->x());
}
double yTw(const QWidget* w) {
    return pixelsToTwipsY(w->y());
}
} // namespace

// The window's outer size, frame included once the window manager has drawn one.
double MainWindow::formWidthTwips() const {
    return pixelsToTwipsX(width() + frame_.left() + frame_.right());
}

double MainWindow::formHeightTwips() const {
    return pixelsToTwipsY(height() + frame_.top() + frame_.bottom());
}

void MainWindow::resizeWindowTwips(double W, double H) {
    resize(std::max(1, twipsToPixelsX(W) - frame_.left() - frame_.right()),
           std::max(1, twipsToPixelsY(H) - frame_.top() - frame_.bottom()));
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // The palette strip is docked to the bottom edge, full width.
    paletteStrip_->setGeometry(0, height() - twipsToPixelsY(540), width(), twipsToPixelsY(540));
    layoutWindow();
}

void MainWindow::watchForFrame() {
    if (frameKnown_ || frameWatch_.isActive()) return;
    frameWatchTicks_ = 0;
    frameWatch_.start(kFrameWatchMs);
}

void MainWindow::onFrameWatch() {
    const std::optional<QMargins> frame = platform::frameExtents(winId());
    if (!frame && ++frameWatchTicks_ < kFrameWatchTicks) return;
    frameWatch_.stop();
    if (!frame) return; // no window manager draws a frame
    // The size at load was the outer size: the frame joins the minimum, and the
    // window is centred once more, now by its outer size.
    // The window manager measures its frame in device pixels.
    frame_ = platform::frameToLogical(*frame, devicePixelRatioF());
    frameKnown_ = true;
    minFormWidth_ += roundEven(pixelsToTwipsX(frame_.left() + frame_.right()));
    minFormHeight_ += roundEven(pixelsToTwipsY(frame_.top() + frame_.bottom()));
    centreOnScreen();
    layoutWindow();
}

void MainWindow::centreOnScreen() {
    // The primary screen, wherever the window is now.
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->geometry();
    const double left = (pixelsToTwipsX(area.width()) - formWidthTwips()) / 2;
    const double top = (pixelsToTwipsY(area.height()) - formHeightTwips()) / 2;
    const QPoint outer(twipsToPixelsX(left) + area.x(), twipsToPixelsY(top) + area.y());
    if (QWindow* w = windowHandle(); w && frameKnown_)
        w->setPosition(outer + QPoint(frame_.left(), frame_.top()));
    else
        move(outer);
}

void MainWindow::layoutWindow() {
    if (inLayout_) return;
    inLayout_ = true;
    if (formState_ == FormState::Minimized) {
        // Minimised by the user: the tray icon takes over and the window disappears.
        // Without a notification area the window stays minimised where the desktop
        // keeps it, so that it can be reached.
        if (steppingAside_ || !isVisible())
            hide();
        else if (TrayIcon::available())
            enterTray();
        else
            info::InfoDialog::unload();
        inLayout_ = false;
        return;
    }
    const SnapResult snap = snapToMinimum(formWidthTwips(), formHeightTwips(),
                                          double(minFormWidth_), double(minFormHeight_));
    if (snap.changed) resizeWindowTwips(snap.width, snap.height);

    const double W = formWidthTwips();
    const double H = formHeightTwips();
    const ViewportSize vp = viewportFor(W, H, wTw(vScroll_), hTw(paletteStrip_), hTw(hScroll_));
    viewport_->resize(std::max(0, twipsToPixelsX(vp.width)),
                      std::max(0, twipsToPixelsY(vp.height)));

    if (!banner_->isHidden()) {
        int bw = banner_->width();
        int bh = banner_->height();
        if (W > 400) bw = twipsToPixelsX(W - 400);
        if (H > 1550) bh = twipsToPixelsY(H - 1550 - hTw(paletteStrip_));
        banner_->resize(std::max(0, bw), std::max(0, bh));
        banner_->placeLabels();
        paintBannerGradient();
    }
    sizeGrip_->move(twipsToPixelsX(W - 320), twipsToPixelsY(H - 650));
    canvas_->setFocus();
    resetScrollBars();
    updateCanvasToolTip();
    centreCanvas();
    inLayout_ = false;
}

void MainWindow::onExposed() {
    centreCanvas();
    updateCanvasToolTip();
}

void MainWindow::resetScrollBars() {
    hScroll_->setValue(0);
    vScroll_->setValue(0);
    const double PW = wTw(canvas_), PH = hTw(canvas_);
    const double CW = wTw(viewport_), CH = hTw(viewport_);
    const ScrollBarSetup h = scrollBarFor(PW, CW, hScroll_->pageStep(), hScroll_->singleStep());
    const ScrollBarSetup v = scrollBarFor(PH, CH, vScroll_->pageStep(), vScroll_->singleStep());
    hScroll_->setRange(0, static_cast<int>(std::max(0LL, h.max)));
    vScroll_->setRange(0, static_cast<int>(std::max(0LL, v.max)));
    vScroll_->move(twipsToPixelsX(xTw(viewport_) + CW + 50), vScroll_->y());
    hScroll_->move(hScroll_->x(), twipsToPixelsY(yTw(viewport_) + CH + 50));
    vScroll_->resize(vScroll_->width(), twipsToPixelsY(CH));
    hScroll_->resize(twipsToPixelsX(CW), hScroll_->height());
    vScroll_->setVisible(PH > CH);
    hScroll_->setVisible(PW > CW);
    hScroll_->setPageStep(static_cast<int>(h.largeChange));
    hScroll_->setSingleStep(static_cast<int>(h.smallChange));
    vScroll_->setPageStep(static_cast<int>(v.largeChange));
    vScroll_->setSingleStep(static_cast<int>(v.smallChange));
    updateCanvasToolTip();
}

void MainWindow::centreCanvas() {
    if (skipCentering_) {
        skipCentering_ = false;
        return;
    }
    const CentreResult x = centreAxis(wTw(canvas_), wTw(viewport_));
    const CentreResult y = centreAxis(hTw(canvas_), hTw(viewport_));
    canvas_->move(twipsToPixelsX(x.offset), canvas_->y());
    if (x.resetScroll) hScroll_->setValue(0);
    canvas_->move(canvas_->x(), twipsToPixelsY(y.offset));
    if (y.resetScroll) vScroll_->setValue(0);
}

void MainWindow::paintBannerGradient() {
    banner_->paintGradient();
}

void MainWindow::scrollCanvasTo(Qt::Orientation direction, int value) {
    if (direction == Qt::Horizontal)
        canvas_->move(twipsToPixelsX(-value), canvas_->y());
    else
        canvas_->move(canvas_->x(), twipsToPixelsY(-value));
}

void MainWindow::applyButtonColor(int index, long long colour) {
    backColor_[index] = colour;
    QToolButton* b = buttons_[index];
    QPalette p = b->palette();
    QColor c;
    if (colour < 0) {
        c = QApplication::palette().color(QPalette::Button); // the system's button face
    } else {
        const auto v = static_cast<unsigned long long>(colour);
        c = QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
    }
    p.setColor(QPalette::Button, c);
    p.setColor(QPalette::Window, c);
    b->setPalette(p);
}

void MainWindow::highlightButton(int index) {
    for (int i = 0; i <= lastButtonIndex_; ++i) {
        if (i == index) {
            if (backColor_[i] != hoverColor_) applyButtonColor(i, hoverColor_);
        } else if (backColor_[i] != buttonColor_) {
            applyButtonColor(i, buttonColor_);
        }
    }
}

void MainWindow::clearButtonHighlight() {
    for (int i = 0; i <= lastButtonIndex_; ++i)
        if (backColor_[i] != buttonColor_) applyButtonColor(i, buttonColor_);
}

void MainWindow::updateCanvasToolTip() {
    const bool pannable = wTw(canvas_) > wTw(viewport_) || hTw(canvas_) > hTw(viewport_);
    canvas_->setToolTip(
        annotate::canvasToolTip(pannable, canvas_->undoReadSlot(), canvas_->toolTip()));
}

void MainWindow::mouseMoveEvent(QMouseEvent* e) {
    // Only over the bare window: a move that a child passed on is not the form's.
    if (!childAt(e->position().toPoint())) clearButtonHighlight();
    QWidget::mouseMoveEvent(e);
}

void MainWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && isVisible()) {
        // The user or the window manager changed the state of the shown window.
        const Qt::WindowStates st = windowState();
        formState_ = st & Qt::WindowMinimized   ? FormState::Minimized
                     : st & Qt::WindowMaximized ? FormState::Maximized
                                                : FormState::Normal;
        if (formState_ == FormState::Minimized) layoutWindow();
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseMove) {
        for (int i = 0; i < kMainButtonCount; ++i)
            if (watched == buttons_[i]) highlightButton(i);
        if (watched == viewport_ &&
            !viewport_->childAt(static_cast<QMouseEvent*>(e)->position().toPoint()))
            canvas_->pointerOverViewport();
    }
    // The window's paint: when the system uncovers the window, not when a child
    // repaints itself.
    if (e->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed())
        QMetaObject::invokeMethod(this, &MainWindow::onExposed, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, e);
}

void MainWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // Before the window is mapped: the window manager keeps its size to the device pixel.
    setBaseSize(platform::baseSizeFor(size(), devicePixelRatioF()));
    watchForFrame();
    if (QWindow* w = windowHandle(); w && !exposeHooked_) {
        exposeHooked_ = true;
        w->installEventFilter(this);
    }
}

} // namespace kamsulo::app
