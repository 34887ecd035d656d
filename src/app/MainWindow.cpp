#include "app/MainWindow.h"

#include "annotate/Canvas.h"
#include "annotate/ToolId.h"
#include "annotate/forms/PaletteStrip.h"
#include "annotate/forms/TextDialog.h"
#include "app/Banner.h"
#include "app/DoubleClickArea.h"
#include "app/FlatButtonStyle.h"
#include "app/Icons.h"
#include "app/Layout.h"
#include "app/SizeGrip.h"
#include "app/TrayIcon.h"
#include "capture/ScreenCapture.h"
#include "capture/region/RegionOverlay.h"
#include "imaging/save/SaveDialog.h"
#include "info/InfoDialog.h"
#include "platform/MessageBox.h"
#include "platform/ScreenGrabber.h"
#include "platform/TimingTrace.h"
#include "platform/Twips.h"
#include "platform/WindowFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <utility>

namespace kamsulo::app {

using platform::BoxAnswer;
using platform::BoxStyle;
using platform::messageBox;
using platform::placeTwips;

namespace {

struct ButtonSpec {
    const char* caption;
    int left;
    const char* tip;
};

const ButtonSpec kButtons[kMainButtonCount] = {
    {"Region", 180, "ScreenShot eines frei skalierbaren Bildschirmausschnitts"},
    {"Screen", 1095, "Screenshot vom gesamten Bildschirm"},
    {"Fenster", 2025, "Screenshot des aktiven Fensters"},
    {"ClipBoard", 2940, "Übergibt den Screenshot an die Zwischenablage."},
    {"MsPaint", 3870, "Screenshot mit MsPaint bearbeiten. (Mspaint->Bearbeiten->Einfügen)"},
    {"Save", 5715, "Screenshot als PNG- JPG- GIF- oder BMP-Datei speichern."},
    {"Info", 7560, nullptr},
    {"Open", 4785,
     "Einen bereits vorhandenen ScreenShot oder eine Bilddatei öffnen. (Um z.B. "
     "nachträglich Markierungen einzuzeichnen.)"},
    {"Tray", 6630, "Verbirgt das Programmfenster und erzeugt ein TrayIcon neben der WindowsUhr."},
};

// The button face: a reference to the system colour, as the designer left it.
constexpr long long kButtonFace = -2147483633; // 0x8000000F as a signed 32-bit number
constexpr long long kHoverYellow = 65535;
constexpr int kRegionTimerMs = 10;
constexpr int kStepAsidePauseMs = 150;
constexpr int kInitialDrawWidth = 2;

const QString kGuardTitle = QStringLiteral("Pixtorel - Kontrollabfrage");

int indexOf(MainButton b) {
    return static_cast<int>(b);
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    QApplication::setQuitOnLastWindowClosed(false);
    setWindowTitle(QStringLiteral("Kamsulo "));
    setWindowIcon(appIcon());
    info::InfoDialog::setProgramIcon(appIcon());
    setMouseTracking(true);
    platform::resizeClientTwips(this, 8715, 5130);
    buildControls();
    installShortcuts();
    initialise();
}

MainWindow::~MainWindow() {
    if (imaging::saveHost() == this) imaging::setSaveHost(nullptr);
}

void MainWindow::buildControls() {
    buttonStyle_ = new FlatButtonStyle;
    buttonStyle_->setParent(this);
    for (int i = 0; i < kMainButtonCount; ++i) {
        auto* b = new QToolButton(this);
        b->setStyle(buttonStyle_);
        b->setObjectName(QStringLiteral("button%1").arg(i));
        b->setText(QString::fromUtf8(kButtons[i].caption));
        if (kButtons[i].tip) b->setToolTip(QString::fromUtf8(kButtons[i].tip));
        b->setIcon(buttonIcon(i));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoFillBackground(true);
        b->setMouseTracking(true);
        b->installEventFilter(this);
        placeTwips(b, kButtons[i].left, 10, 900, 920);
        connect(b, &QToolButton::clicked, this, [this, i] { onButton(MainButton(i)); });
        buttons_[i] = b;
        backColor_[i] = kButtonFace;
    }

    viewport_ = new QWidget(this);
    viewport_->setObjectName(QStringLiteral("canvasViewport"));
    viewport_->setMouseTracking(true);
    viewport_->installEventFilter(this);
    placeTwips(viewport_, 120, 1020, 8235, 3345);
    canvas_ = new annotate::Canvas(*this, viewport_);
    canvas_->setObjectName(QStringLiteral("canvas"));
    canvas_->move(0, 0);

    vScroll_ = new QScrollBar(Qt::Vertical, this);
    vScroll_->setObjectName(QStringLiteral("verticalScrollBar"));
    placeTwips(vScroll_, 8460, 1020, 150, 3375);
    hScroll_ = new QScrollBar(Qt::Horizontal, this);
    hScroll_->setObjectName(QStringLiteral("horizontalScrollBar"));
    placeTwips(hScroll_, 120, 4380, 8295, 150);
    vScroll_->hide();
    hScroll_->hide();
    // As designed: page and arrow steps of 1 until the first layout.
    for (QScrollBar* s : {hScroll_, vScroll_}) {
        s->setPageStep(1);
        s->setSingleStep(1);
    }
    connect(hScroll_, &QScrollBar::valueChanged, this,
            [this](int v) { scrollCanvasTo(Qt::Horizontal, v); });
    connect(vScroll_, &QScrollBar::valueChanged, this,
            [this](int v) { scrollCanvasTo(Qt::Vertical, v); });

    banner_ = new Banner(this);
    banner_->setObjectName(QStringLiteral("banner"));
    placeTwips(banner_, 120, 1020, 8295, 3345);
    connect(banner_, &Banner::mouseMoved, this, &MainWindow::clearButtonHighlight);

    paletteStrip_ = new annotate::PaletteStrip(this);
    paletteStrip_->setObjectName(QStringLiteral("paletteStrip"));
    paletteStrip_->setCanvas(canvas_);
    connect(paletteStrip_, &annotate::PaletteStrip::undoRequested, canvas_,
            &annotate::Canvas::undo);
    connect(paletteStrip_, &annotate::PaletteStrip::mouseMovedOverStrip, this, [this] {
        if (windowTitle() != QLatin1String("Kamsulo")) setWindowTitle(QStringLiteral("Kamsulo"));
    });

    // The paste corner: invisible, no tooltip; a double click pastes.
    pasteCorner_ = new DoubleClickArea(this);
    pasteCorner_->setObjectName(QStringLiteral("pasteCorner"));
    placeTwips(pasteCorner_, 8460, 0, 195, 195);
    connect(static_cast<DoubleClickArea*>(pasteCorner_), &DoubleClickArea::doubleClicked, this,
            &MainWindow::pasteFromClipboard);

    sizeGrip_ = new SizeGrip(this);
    placeTwips(sizeGrip_, 0, 0, 225, 180);

    windows_.showRegionOverlay = [this] { capture::RegionOverlay::showOverlay(*this); };
    imaging::setSaveHost(this);
    windows_.showSaveDialog = [this] { imaging::SaveDialog::instance().showBeside(this); };
    windows_.unloadSaveDialog = [] { imaging::SaveDialog::unloadInstance(); };

    tray_ = new TrayIcon(appIcon(), this);
    connect(tray_, &TrayIcon::chosen, this, [this](TrayIcon::Entry e) { onTrayEntry(int(e)); });
    // A window whose icon can no longer be shown would be out of reach for good.
    connect(tray_, &TrayIcon::lost, this, &MainWindow::showMainWindowNormal);

    connect(&frameWatch_, &QTimer::timeout, this, &MainWindow::onFrameWatch);
    stepAsidePause_.setSingleShot(true);
    connect(&stepAsidePause_, &QTimer::timeout, this, &MainWindow::onStepAsidePause);

    regionTimer_ = new QTimer(this);
    regionTimer_->setObjectName(QStringLiteral("regionTimer"));
    connect(regionTimer_, &QTimer::timeout, this, &MainWindow::onRegionTimer);
}

void MainWindow::initialise() {
    centreOnScreen();
    paintBannerGradient();
    hoverColor_ = kHoverYellow;
    buttonColor_ = backColor_[0];
    lastButtonIndex_ = kMainButtonCount - 1;
    canvas_->setPenWidth(kInitialDrawWidth);
    minFormWidth_ = roundEven(formWidthTwips());
    minFormHeight_ = roundEven(formHeightTwips());
    shotSaved_ = true;
}

capture::ScreenCapture& MainWindow::screenCapture() {
    if (!screenCapture_) {
        screenCapture_ = std::make_unique<capture::ScreenCapture>(this, platform::screenGrabber());
        connect(screenCapture_.get(), &capture::ScreenCapture::finished, this,
                [this] { finishCapture(captureButton_); });
    }
    return *screenCapture_;
}

void MainWindow::onButton(MainButton button) {
    // One capture at a time: a second one asked for meanwhile (a button, the tray, the
    // command line) is ignored.
    const bool captures = button == MainButton::Region || button == MainButton::Screen ||
                          button == MainButton::Window;
    if (captures && capturing()) return;
    // The two tools that work in pixels are deselected; the canvas goes back to twips.
    for (annotate::ToolId pixelTool : {annotate::ToolId::Pipette, annotate::ToolId::RoundRect})
        if (paletteStrip_->selectedTool() == pixelTool)
            paletteStrip_->setToolSelected(pixelTool, false);
    setCanvasScaleTwips();
    switch (button) {
    case MainButton::Region:
        startRegion();
        break;
    case MainButton::Screen:
    case MainButton::Window:
        capture(button);
        break;
    case MainButton::Clipboard:
        copyToClipboard();
        break;
    case MainButton::Paint:
        copyToClipboard();
        handToPaintProgram();
        return;
    case MainButton::Save:
        if (windows_.showSaveDialog) windows_.showSaveDialog();
        break;
    case MainButton::Info:
        info::InfoDialog::instance()->showInFront();
        break;
    case MainButton::Open:
        if (askToSaveFirst() || !openFromDialog()) return;
        break;
    case MainButton::Tray:
        setFormState(FormState::Minimized);
        break;
    }
    updateCanvasToolTip();
}

void MainWindow::startRegion() {
    platform::traceTiming("region-button");
    shotSaved_ = false;
    canvas_->resetUndoIndexes();
    if (windows_.unloadSaveDialog) windows_.unloadSaveDialog();
    platform::screenGrabber().prepareScreenGrab();
    captureStage_ = CaptureStage::SteppingAside;
    stepAside([this] {
        captureStage_ = CaptureStage::Region;
        regionTimer_->start(kRegionTimerMs);
        platform::traceTiming("timer-armed");
        paletteStrip_->setEnabled(true);
        resetScrollBars();
        // Chosen from the tray, the icon goes once the overlay is armed.
        tray_->remove();
    });
}

void MainWindow::capture(MainButton button) {
    shotSaved_ = false;
    canvas_->resetUndoIndexes();
    paletteStrip_->setEnabled(true);
    banner_->hide();
    if (button == MainButton::Screen) platform::screenGrabber().prepareScreenGrab();
    captureStage_ = CaptureStage::SteppingAside;
    captureButton_ = button;
    stepAside([this, button] {
        captureStage_ = CaptureStage::Grabbing;
        screenCapture().start(button == MainButton::Screen ? capture::CaptureKind::Screen
                                                           : capture::CaptureKind::Window);
    });
}

void MainWindow::finishCapture(MainButton button) {
    captureStage_ = CaptureStage::None;
    setFormState(FormState::Normal);
    show();
    restoreOwnedWindows();
    if (button == MainButton::Window) {
        raise();
        activateWindow();
    }
    resetScrollBars();
    updateCanvasToolTip();
}

bool MainWindow::cancelCapture() {
    if (!capturing()) return false;
    captureStage_ = CaptureStage::None;
    stepAsidePause_.stop();
    afterStepAside_ = nullptr;
    steppingAside_ = false;
    regionTimer_->stop();
    timerTicks_ = 0;
    if (screenCapture_) screenCapture_->cancel();
    capture::RegionOverlay::closeOverlay();
    return true;
}

bool MainWindow::askToSaveFirst() {
    if (shotSaved_) return false;
    if (messageBox(QStringLiteral("Der letzte ScreenShot wurde noch nicht gespeichert. "
                                  "Jetzt speichern?"),
                   BoxStyle::YesNoQuestion, kGuardTitle, this) != BoxAnswer::Yes)
        return false;
    onButton(MainButton::Save);
    return true;
}

void MainWindow::stepAside(std::function<void()> then) {
    // The window only gets out of the way: no tray icon, which would be in the picture.
    steppingAside_ = true;
    afterStepAside_ = std::move(then);
    hideOwnedWindows();
    banner_->hide();
    hide();
    setFormState(FormState::Minimized);
    // The events run on during the pauses: the unmap reaches the display server and
    // the screen repaints where the window was.
    stepAsidePauses_ = 0;
    platform::traceTiming("pause-begin");
    stepAsidePause_.start(kStepAsidePauseMs);
}

void MainWindow::onStepAsidePause() {
    platform::traceTiming("pause-end");
    if (++stepAsidePauses_ == 1) {
        if (formState_ != FormState::Minimized) setFormState(FormState::Minimized);
        repaint();
        platform::traceTiming("pause-begin");
        stepAsidePause_.start(kStepAsidePauseMs);
        return;
    }
    steppingAside_ = false;
    if (auto then = std::exchange(afterStepAside_, nullptr)) then();
}

void MainWindow::hideOwnedWindows() {
    // The windows this one owns (save dialog, text dialog, ...) step aside with it.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible() || w->parentWidget() != this) continue;
        hiddenOwned_.append({w, w->pos()});
        w->hide();
    }
}

void MainWindow::restoreOwnedWindows() {
    for (const auto& [window, place] : std::as_const(hiddenOwned_)) {
        if (!window) continue;
        // Minimised along with this window before it went into the tray: it comes back
        // shown, as this one does.
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->move(place);
        window->show();
    }
    hiddenOwned_.clear();
}

void MainWindow::enterTray() {
    info::InfoDialog::unload();
    // The dialogs this window owns wait with it and come back with it.
    hideOwnedWindows();
    tray_->add();
    hide();
}

void MainWindow::onTrayEntry(int entry) {
    switch (TrayIcon::Entry(entry)) {
    // A capture removes the icon itself: Region once the overlay is armed, the others
    // when the window comes back. One chosen while a capture runs does nothing.
    case TrayIcon::Entry::Region:
        onButton(MainButton::Region);
        return;
    case TrayIcon::Entry::Screen:
        onButton(MainButton::Screen);
        return;
    case TrayIcon::Entry::Window:
        onButton(MainButton::Window);
        return;
    case TrayIcon::Entry::ShowWindow:
        showMainWindowNormal();
        break;
    case TrayIcon::Entry::Exit:
        askToExit();
        return;
    }
    tray_->remove();
}

void MainWindow::askToExit() {
    // A capture that runs is withdrawn before the question; the window it took away
    // comes back unless the program ends.
    const bool cancelled = cancelCapture();
    if (messageBox(QStringLiteral("Möchten Sie das Programm jetzt beenden?"),
                   BoxStyle::YesNoQuestion, QStringLiteral("Kamuslo"), this) == BoxAnswer::Yes)
        close();
    if (cancelled && !unloaded_) showMainWindowNormal();
}

void MainWindow::onRegionTimer() {
    platform::traceTiming("timer-fired");
    ++timerTicks_;
    if (timerTicks_ == 1) {
        if (windows_.showRegionOverlay) windows_.showRegionOverlay();
        regionTimer_->stop();
        timerTicks_ = 0;
    }
}

bool MainWindow::mayClose() {
    if (shotSaved_) return true;
    if (messageBox(QStringLiteral("Der Screenshot wurde noch nicht gespeichert. Jetzt Speichern?"),
                   BoxStyle::YesNoQuestion, kGuardTitle, this) != BoxAnswer::Yes)
        return true;
    onButton(MainButton::Save);
    return false;
}

void MainWindow::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    cancelCapture();
    capture::RegionOverlay::closeOverlay();
    annotate::TextDialog::unloadInstance();
    if (windows_.unloadSaveDialog) windows_.unloadSaveDialog();
    screenCapture_.reset();
    paintProgram_.reset();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // A capture that runs is withdrawn first; the window it took away comes back if
    // the program stays.
    const bool cancelled = cancelCapture();
    if (!mayClose()) {
        e->ignore();
        if (cancelled) showMainWindowNormal();
        return;
    }
    e->accept();
    unload();
}

void MainWindow::handOverCapture(const QImage& picture) {
    capturedAt_ = QDateTime::currentDateTime();
    canvas_->takeCapture(picture);
}

void MainWindow::clearCanvasPicture() {
    canvas_->clearPicture();
}

annotate::ToolId MainWindow::selectedTool() const {
    return paletteStrip_->selectedTool();
}
void MainWindow::deselectAllTools() {
    paletteStrip_->deselectAll();
}
quint32 MainWindow::currentColor() const {
    return paletteStrip_->currentColor();
}
void MainWindow::setCurrentColor(quint32 bgr) {
    paletteStrip_->setCurrentColor(bgr);
}
QSize MainWindow::viewportSize() const {
    return viewport_->size();
}

void MainWindow::panCanvas(Qt::Orientation direction, int offset) {
    // The scroll bar follows in twips; its change event puts the canvas there.
    if (direction == Qt::Horizontal) {
        canvas_->move(offset, canvas_->y());
        hScroll_->setValue(static_cast<int>(platform::pixelsToTwipsX(-offset)));
    } else {
        canvas_->move(canvas_->x(), offset);
        vScroll_->setValue(static_cast<int>(platform::pixelsToTwipsY(-offset)));
    }
}

QImage MainWindow::pictureToSave() const {
    // Before the first picture the banner is what there is to save.
    return banner_->isHidden() ? canvas_->image() : banner_->image();
}

void MainWindow::showTextDialog() {
    annotate::showTextDialog(*this, this, currentColor());
}

annotate::CanvasTarget& MainWindow::canvasTarget() {
    return *canvas_;
}
QString MainWindow::textPosX() const {
    return canvas_->textPosX();
}
QString MainWindow::textPosY() const {
    return canvas_->textPosY();
}

void MainWindow::focusMainWindow() {
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void MainWindow::showMainWindowNormal() {
    // The region overlay's end (or its desktop picture refused) ends the capture.
    if (captureStage_ == CaptureStage::Region) captureStage_ = CaptureStage::None;
    setFormState(FormState::Normal);
    show();
    restoreOwnedWindows();
}

QImage MainWindow::canvasImage() const {
    return canvas_->image();
}

long long MainWindow::buttonBackColor(MainButton button) const {
    return backColor_[indexOf(button)];
}

void MainWindow::setCanvasScaleTwips() {
    canvas_->setScaleMode(annotate::ScaleMode::Twips);
}

void MainWindow::setFormState(FormState state) {
    formState_ = state;
    if (state != FormState::Minimized) tray_->remove();
    if (state == FormState::Minimized && isVisible() && TrayIcon::available()) {
        // Straight into the tray, not minimised at the window manager first: a window
        // that Qt minimises is marked to start iconic, so after the tray has hidden it,
        // it would come back iconic (and into the tray again) when shown.
        layoutWindow();
        return;
    }
    Qt::WindowStates real = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == FormState::Maximized) real |= Qt::WindowMaximized;
    if (!isVisible()) {
        // A hidden window is not minimised at the window manager: it would come back
        // iconic when shown again. The state is kept here, and the layout still sees it.
        // Qt maps a window that it counts as minimised as soon as it leaves that state,
        // so that happens only on the way back, right before the window is shown.
        if (state == FormState::Minimized) {
            layoutWindow();
        } else {
            setWindowState(real);
            // Minimised by Qt once (without a tray), the window would be mapped iconic.
            if (windowHandle()) platform::showNormalWhenMapped(winId());
        }
        return;
    }
    if (state == FormState::Minimized) real |= Qt::WindowMinimized;
    setWindowState(real);
}

} // namespace kamsulo::app
