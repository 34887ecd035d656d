// frmAnzeige: window layout, the viewport and its scroll bars, the banner and the
// hover colours of the button row.
#include "annotate/AnzeigePic.h"
#include "annotate/forms/CanvasToolTip.h"
#include "annotate/forms/PaletteStrip.h"
#include "app/Banner.h"
#include "app/Layout.h"
#include "app/SizeGrip.h"
#include "app/frmAnzeige.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
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

double frmAnzeige::formWidthTwips() const {
    return pixelsToTwipsX(isVisible() ? frameGeometry().width() : width());
}

double frmAnzeige::formHeightTwips() const {
    return pixelsToTwipsY(isVisible() ? frameGeometry().height() : height());
}

void frmAnzeige::resizeWindowTwips(double W, double H) {
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    resize(std::max(1, twipsToPixelsX(W) - frame.width()),
           std::max(1, twipsToPixelsY(H) - frame.height()));
}

void frmAnzeige::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // The palette strip is docked to the bottom edge, full width.
    Picture2->setGeometry(0, height() - twipsToPixelsY(540), width(), twipsToPixelsY(540));
    if (!frameKnown_ && isVisible() && frameGeometry().size() != size()) {
        // The size at load is the outer size: add the frame once the window has one.
        frameKnown_ = true;
        minFormWidth += roundEven(pixelsToTwipsX(frameGeometry().width() - width()));
        minFormHeight += roundEven(pixelsToTwipsY(frameGeometry().height() - height()));
    }
    Form_Resize();
}

void frmAnzeige::Form_Resize() {
    if (inResize_) return;
    inResize_ = true;
    if (windowStateValue() == 1) {
        // Minimised: the tray takes over and the window disappears.
        hide();
        inResize_ = false;
        return;
    }
    const SnapResult snap = snapToMinimum(formWidthTwips(), formHeightTwips(), double(minFormWidth),
                                          double(minFormHeight));
    if (snap.changed) resizeWindowTwips(snap.width, snap.height);

    const double W = formWidthTwips();
    const double H = formHeightTwips();
    const ViewportSize vp = viewportFor(W, H, wTw(VScroll1), hTw(Picture2), hTw(HScroll1));
    AnzeigePicCont->resize(std::max(0, twipsToPixelsX(vp.width)),
                           std::max(0, twipsToPixelsY(vp.height)));

    if (!Picture1->isHidden()) {
        int bw = Picture1->width();
        int bh = Picture1->height();
        if (W > 400) bw = twipsToPixelsX(W - 400);
        if (H > 1550) bh = twipsToPixelsY(H - 1550 - hTw(Picture2));
        Picture1->resize(std::max(0, bw), std::max(0, bh));
        Picture1->placeLabels();
        farbverlauf();
    }
    picAnfasser->move(twipsToPixelsX(W - 320), twipsToPixelsY(H - 650));
    AnzeigePic->setFocus();
    panRangeY = roundEven(std::abs(hTw(AnzeigePic) - hTw(AnzeigePicCont)));
    panRangeX = roundEven(std::abs(wTw(AnzeigePic) - wTw(AnzeigePicCont)));
    scroll_init();
    tool_tipp();
    zentrieren();
    inResize_ = false;
}

void frmAnzeige::Form_Paint() {
    zentrieren();
    tool_tipp();
}

void frmAnzeige::scroll_init() {
    HScroll1->setValue(0);
    VScroll1->setValue(0);
    const double PW = wTw(AnzeigePic), PH = hTw(AnzeigePic);
    const double CW = wTw(AnzeigePicCont), CH = hTw(AnzeigePicCont);
    const ScrollBarSetup h = scrollBarFor(PW, CW, HScroll1->pageStep(), HScroll1->singleStep());
    const ScrollBarSetup v = scrollBarFor(PH, CH, VScroll1->pageStep(), VScroll1->singleStep());
    HScroll1->setRange(0, static_cast<int>(std::max(0LL, h.max)));
    VScroll1->setRange(0, static_cast<int>(std::max(0LL, v.max)));
    VScroll1->move(twipsToPixelsX(xTw(AnzeigePicCont) + CW + 50), VScroll1->y());
    HScroll1->move(HScroll1->x(), twipsToPixelsY(yTw(AnzeigePicCont) + CH + 50));
    VScroll1->resize(VScroll1->width(), twipsToPixelsY(CH));
    HScroll1->resize(twipsToPixelsX(CW), HScroll1->height());
    VScroll1->setVisible(PH > CH);
    HScroll1->setVisible(PW > CW);
    HScroll1->setPageStep(static_cast<int>(h.largeChange));
    HScroll1->setSingleStep(static_cast<int>(h.smallChange));
    VScroll1->setPageStep(static_cast<int>(v.largeChange));
    VScroll1->setSingleStep(static_cast<int>(v.smallChange));
    tool_tipp();
}

void frmAnzeige::zentrieren() {
    if (SkipCentering) {
        SkipCentering = false;
        return;
    }
    const CentreResult x = centreAxis(wTw(AnzeigePic), wTw(AnzeigePicCont));
    const CentreResult y = centreAxis(hTw(AnzeigePic), hTw(AnzeigePicCont));
    AnzeigePic->move(twipsToPixelsX(x.offset), AnzeigePic->y());
    if (x.resetScroll) HScroll1->setValue(0);
    AnzeigePic->move(AnzeigePic->x(), twipsToPixelsY(y.offset));
    if (y.resetScroll) VScroll1->setValue(0);
}

void frmAnzeige::farbverlauf() {
    Picture1->farbverlauf();
}

void frmAnzeige::HScroll1_Change() {
    AnzeigePic->move(twipsToPixelsX(-HScroll1->value()), AnzeigePic->y());
}

void frmAnzeige::VScroll1_Change() {
    AnzeigePic->move(AnzeigePic->x(), twipsToPixelsY(-VScroll1->value()));
}

void frmAnzeige::applyButtonColor(int index, long long colour) {
    backColor_[index] = colour;
    QToolButton* b = Command1[index];
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

void frmAnzeige::roll_in(int index) {
    const long long hover = hoverColor.toLongLong();
    const long long normal = buttonColor.toLongLong();
    for (int i = 0; i <= lastButtonIndex; ++i) {
        if (i == index) {
            if (backColor_[i] != hover) applyButtonColor(i, hover);
        } else if (backColor_[i] != normal) {
            applyButtonColor(i, normal);
        }
    }
}

void frmAnzeige::roll_out() {
    const long long normal = buttonColor.toLongLong();
    for (int i = 0; i <= lastButtonIndex; ++i)
        if (backColor_[i] != normal) applyButtonColor(i, normal);
}

void frmAnzeige::tool_tipp() {
    const bool pannable =
        wTw(AnzeigePic) > wTw(AnzeigePicCont) || hTw(AnzeigePic) > hTw(AnzeigePicCont);
    AnzeigePic->setToolTip(annotate::tool_tipp(pannable, undoReadSlot(), AnzeigePic->toolTip()));
}

void frmAnzeige::Command1_MouseMove(int index) {
    roll_in(index);
}

void frmAnzeige::Form_MouseMove() {
    roll_out();
}

void frmAnzeige::AnzeigePicCont_MouseMove() {
    AnzeigePic->AnzeigePicCont_MouseMove();
}

void frmAnzeige::mouseMoveEvent(QMouseEvent* e) {
    // Only over the bare window: a move that a child passed on is not the form's.
    if (!childAt(e->position().toPoint())) Form_MouseMove();
    QWidget::mouseMoveEvent(e);
}

void frmAnzeige::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && isVisible()) {
        // The user or the window manager changed the state of the shown window.
        const Qt::WindowStates st = windowState();
        formState_ = st & Qt::WindowMinimized ? 1 : st & Qt::WindowMaximized ? 2 : 0;
        if (formState_ == 1) Form_Resize();
    }
}

bool frmAnzeige::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseMove) {
        for (int i = 0; i < buttonCount; ++i)
            if (watched == Command1[i]) Command1_MouseMove(i);
        if (watched == AnzeigePicCont &&
            !AnzeigePicCont->childAt(static_cast<QMouseEvent*>(e)->position().toPoint()))
            AnzeigePicCont_MouseMove();
    }
    // The window's paint: when the system uncovers the window, not when a child
    // repaints itself.
    if (e->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed())
        QMetaObject::invokeMethod(this, &frmAnzeige::Form_Paint, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, e);
}

void frmAnzeige::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (QWindow* w = windowHandle(); w && !exposeHooked_) {
        exposeHooked_ = true;
        w->installEventFilter(this);
    }
}

} // namespace kamsulo::app
