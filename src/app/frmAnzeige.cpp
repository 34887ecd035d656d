#include "app/frmAnzeige.h"

#include "annotate/AnzeigePic.h"
#include "annotate/forms/Form2.h"
#include "annotate/forms/PaletteStrip.h"
#include "app/Banner.h"
#include "app/Icons.h"
#include "app/Layout.h"
#include "app/SizeGrip.h"
#include "capture/Form1.h"
#include "capture/region/frmDummy.h"
#include "imaging/save/frmSave.h"
#include "platform/MsgBox.h"
#include "platform/ScreenGrabber.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>

namespace kamsulo::app {

using platform::MsgBox;
using platform::placeTwips;

namespace {

struct ButtonSpec {
    const char* caption;
    int left;
    const char* tip;
};

const ButtonSpec kButtons[frmAnzeige::buttonCount] = {
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

} // namespace

frmAnzeige::frmAnzeige(QWidget* parent) : QWidget(parent) {
    QApplication::setQuitOnLastWindowClosed(false);
    setWindowTitle(QStringLiteral("Kamsulo "));
    setWindowIcon(appIcon());
    setMouseTracking(true);
    platform::resizeClientTwips(this, 8715, 5130);
    buildControls();
    Form_Load();
}

frmAnzeige::~frmAnzeige() {
    if (imaging::saveHost() == this) imaging::setSaveHost(nullptr);
}

void frmAnzeige::buildControls() {
    for (int i = 0; i < buttonCount; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("Command1_%1").arg(i));
        b->setText(QString::fromUtf8(kButtons[i].caption));
        if (kButtons[i].tip) b->setToolTip(QString::fromUtf8(kButtons[i].tip));
        b->setIcon(buttonIcon(i));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoFillBackground(true);
        b->setMouseTracking(true);
        b->installEventFilter(this);
        placeTwips(b, kButtons[i].left, 10, 900, 920);
        connect(b, &QToolButton::clicked, this, [this, i] { Command1_Click(i); });
        Command1[i] = b;
        backColor_[i] = kButtonFace;
    }

    AnzeigePicCont = new QWidget(this);
    AnzeigePicCont->setObjectName(QStringLiteral("AnzeigePicCont"));
    AnzeigePicCont->setMouseTracking(true);
    AnzeigePicCont->installEventFilter(this);
    placeTwips(AnzeigePicCont, 120, 1020, 8235, 3345);
    AnzeigePic = new annotate::AnzeigePic(*this, AnzeigePicCont);
    AnzeigePic->setObjectName(QStringLiteral("AnzeigePic"));
    AnzeigePic->move(0, 0);

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    placeTwips(VScroll1, 8460, 1020, 150, 3375);
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    placeTwips(HScroll1, 120, 4380, 8295, 150);
    VScroll1->hide();
    HScroll1->hide();
    // As designed: page and arrow steps of 1 until the first layout.
    for (QScrollBar* s : {HScroll1, VScroll1}) {
        s->setPageStep(1);
        s->setSingleStep(1);
    }
    connect(HScroll1, &QScrollBar::valueChanged, this, &frmAnzeige::HScroll1_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &frmAnzeige::VScroll1_Change);

    Picture1 = new Banner(this);
    placeTwips(Picture1, 120, 1020, 8295, 3345);
    connect(Picture1, &Banner::mouseMoved, this, &frmAnzeige::roll_out);

    Picture2 = new annotate::PaletteStrip(this);
    Picture2->setCanvas(AnzeigePic);
    connect(Picture2, &annotate::PaletteStrip::undoRequested, AnzeigePic,
            &annotate::AnzeigePic::Command7_Click);
    connect(Picture2, &annotate::PaletteStrip::mouseMovedOverStrip, this, [this] {
        if (windowTitle() != QLatin1String("Kamsulo")) setWindowTitle(QStringLiteral("Kamsulo"));
    });

    picAnfasser = new SizeGrip(this);
    placeTwips(picAnfasser, 0, 0, 225, 180);

    showRegionOverlay = [this] { capture::frmDummy::showOverlay(*this); };
    imaging::setSaveHost(this);
    showSaveDialog = [this] { imaging::SaveForm().showBeside(this); };
    unloadSaveDialog = [] { imaging::UnloadSaveForm(); };

    Timer = new QTimer(this);
    Timer->setSingleShot(false);
    connect(Timer, &QTimer::timeout, this, &frmAnzeige::Timer_Timer);
}

void frmAnzeige::Form_Load() {
    trayIconData.cbSize = 88;
    trayIconData.hWnd = winId();
    trayIconData.uID = 1;
    trayIconData.uFlags = 7;
    trayIconData.uCallbackMessage = 0x200;
    trayIconData.hIcon = Command1[8]->icon();
    trayIconData.szTip = QStringLiteral("Vendrams Pixtorel") + QChar(0);
    // The window centred on the screen, in twips, unrounded.
    if (QScreen* s = screen()) {
        const double sw = platform::pixelsToTwipsX(s->geometry().width());
        const double sh = platform::pixelsToTwipsY(s->geometry().height());
        const double left = (sw - formWidthTwips()) / 2;
        const double top = (sh - formHeightTwips()) / 2;
        move(platform::twipsToPixelsX(left) + s->geometry().x(),
             platform::twipsToPixelsY(top) + s->geometry().y());
    }
    farbverlauf();
    hoverColor = QString::number(65535);
    buttonColor = QString::number(backColor_[0]);
    lastButtonIndex = buttonCount - 1;
    AnzeigePic->setDrawWidth(2);
    minFormWidth = roundEven(formWidthTwips());
    minFormHeight = roundEven(formHeightTwips());
    ShotSaved = true;
}

capture::Form1& frmAnzeige::form1() {
    if (!form1_) form1_ = std::make_unique<capture::Form1>(this, platform::screenGrabber());
    return *form1_;
}

void frmAnzeige::Command1_Click(int index) {
    // The two tools that work in pixels are deselected; the canvas goes back to twips.
    if (Picture2->selectedTool() == 8) Picture2->setToolSelected(8, false);
    if (Picture2->selectedTool() == 11) Picture2->setToolSelected(11, false);
    setCanvasScaleTwips();
    switch (index) {
    case 0: // Region
        ShotSaved = false;
        AnzeigePic->resetUndoIndexes();
        if (unloadSaveDialog) unloadSaveDialog();
        ref();
        Timer->start(10);
        Picture2->setEnabled(true);
        scroll_init();
        break;
    case 1: // Screen
    case 2: // Fenster
        ShotSaved = false;
        AnzeigePic->resetUndoIndexes();
        Picture2->setEnabled(true);
        Picture1->hide();
        ref();
        if (index == 1)
            form1().Command1->click();
        else
            form1().Command4->click();
        setWindowStateValue(0);
        show();
        if (index == 2) {
            raise();
            activateWindow();
        }
        scroll_init();
        break;
    case 3: // ClipBoard: comes with the clipboard hand-off
    case 4: // MsPaint: comes with the paint-program hand-off
        break;
    case 5: // Save
        if (showSaveDialog) showSaveDialog();
        break;
    case 6: // Info: comes with the info dialog
        break;
    case 7: // Open
        if (!ShotSaved) {
            if (MsgBox(QStringLiteral("Der letzte ScreenShot wurde noch nicht gespeichert. "
                                      "Jetzt speichern?"),
                       36, QStringLiteral("Pixtorel - Kontrollabfrage"), this) == platform::vbYes) {
                pressButton(5);
                return;
            }
        }
        break;
    case 8: // Tray
        setWindowStateValue(1);
        break;
    default:
        break;
    }
    tool_tipp();
}

void frmAnzeige::ref() {
    Picture1->hide();
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        hide();
        setVisible(false);
    }
    setWindowStateValue(1);
    QApplication::processEvents(); // hands the unmap to the X server before the pause
    QThread::msleep(150);
    if (windowStateValue() != 1) setWindowStateValue(1);
    repaint();
    QThread::msleep(150);
}

void frmAnzeige::Timer_Timer() {
    ++timerCounter_;
    if (timerCounter_ == 1) {
        if (showRegionOverlay) showRegionOverlay();
        Timer->stop();
        timerCounter_ = 0;
    }
}

void frmAnzeige::Form_QueryUnload(bool& cancel, int /*unloadMode*/) {
    if (!ShotSaved) {
        if (MsgBox(QStringLiteral("Der Screenshot wurde noch nicht gespeichert. Jetzt Speichern?"),
                   36, QStringLiteral("Pixtorel - Kontrollabfrage"), this) == platform::vbYes) {
            cancel = true;
            pressButton(5);
        }
    }
}

void frmAnzeige::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    capture::frmDummy::unloadOverlay();
    annotate::Form2::unloadInstance();
    if (unloadSaveDialog) unloadSaveDialog();
    form1_.reset();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void frmAnzeige::mnuExit_Click() {
    if (MsgBox(QStringLiteral("Möchten Sie das Programm jetzt beenden?"), 36,
               QStringLiteral("Kamuslo"), this) == platform::vbYes)
        close();
}

void frmAnzeige::closeEvent(QCloseEvent* e) {
    bool cancel = false;
    Form_QueryUnload(cancel, 0);
    if (cancel) {
        e->ignore();
        return;
    }
    e->accept();
    Form_Unload();
}

void frmAnzeige::handOverCapture(const QImage& picture) {
    AnzeigePic->takeCapture(picture);
}

void frmAnzeige::clearCanvasPicture() {
    AnzeigePic->clearPicture();
}

int frmAnzeige::undoWriteSlot() const {
    return AnzeigePic->undoWriteSlot();
}
int frmAnzeige::undoReadSlot() const {
    return AnzeigePic->undoReadSlot();
}

int frmAnzeige::selectedTool() const {
    return Picture2->selectedTool();
}
void frmAnzeige::deselectAllTools() {
    Picture2->deselectAll();
}
quint32 frmAnzeige::currentColor() const {
    return Picture2->currentColor();
}
void frmAnzeige::setCurrentColor(quint32 bgr) {
    Picture2->setCurrentColor(bgr);
}
QSize frmAnzeige::viewportSize() const {
    return AnzeigePicCont->size();
}

void frmAnzeige::panCanvas(Qt::Orientation direction, int offset) {
    // The scroll bar follows in twips; its change event puts the canvas there.
    if (direction == Qt::Horizontal) {
        AnzeigePic->move(offset, AnzeigePic->y());
        HScroll1->setValue(static_cast<int>(platform::pixelsToTwipsX(-offset)));
    } else {
        AnzeigePic->move(AnzeigePic->x(), offset);
        VScroll1->setValue(static_cast<int>(platform::pixelsToTwipsY(-offset)));
    }
}

QImage frmAnzeige::pictureToSave() const {
    // Before the first picture the banner is what there is to save.
    return Picture1->isHidden() ? AnzeigePic->image() : Picture1->image();
}

void frmAnzeige::showTextDialog() {
    annotate::showTextDialog(*this, this, currentColor());
}

annotate::CanvasTarget& frmAnzeige::canvasTarget() {
    return *AnzeigePic;
}
QString frmAnzeige::textPosX() const {
    return AnzeigePic->textPosX();
}
QString frmAnzeige::textPosY() const {
    return AnzeigePic->textPosY();
}

void frmAnzeige::focusMainWindow() {
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void frmAnzeige::showMainWindowNormal() {
    setWindowStateValue(0);
    show();
}

QImage frmAnzeige::canvasImage() const {
    return AnzeigePic->image();
}

void frmAnzeige::setCanvasScaleTwips() {
    AnzeigePic->setScaleMode(annotate::ScaleTwips);
}

int frmAnzeige::windowStateValue() const {
    return formState_;
}

void frmAnzeige::setWindowStateValue(int state) {
    formState_ = state;
    Qt::WindowStates real = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == 2) real |= Qt::WindowMaximized;
    if (!isVisible()) {
        // A hidden window is not minimised at the window manager: it would come back
        // iconic when shown again. The state is kept here, and the layout still sees it.
        setWindowState(real);
        if (state == 1) Form_Resize();
        return;
    }
    if (state == 1) real |= Qt::WindowMinimized;
    setWindowState(real);
}

} // namespace kamsulo::app
