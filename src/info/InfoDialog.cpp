#include "info/InfoDialog.h"

#include "info/HelpText.h"
#include "platform/AppInfo.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <QWindow>

namespace kamsulo::info {

namespace {

using platform::placeTwips;

// Colours are kept as 0x00BBGGRR numbers.
enum Colour : quint32 {
    WindowBack = 0x404040,
    HeaderBack = 0x808080,
    PanelBack = 0xE6FFFD,   // pale yellow
    HelpTextInk = 0xC00000, // dark blue
    Black = 0x000000,
    White = 0xFFFFFF,
};

QColor fromBgr(quint32 bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The client area and the controls, in twips. Labels sized to their text have
// no width or height of their own.
struct TwipsRect {
    int left, top, width, height;
};
constexpr int kClientWidth = 8520;
constexpr int kClientHeight = 7680;
constexpr TwipsRect kHeader{0, 0, kClientWidth, 915};
constexpr TwipsRect kTitle{300, 120, 0, 0};
constexpr TwipsRect kVersion{360, 660, 0, 0};
constexpr TwipsRect kAuthor{4740, 660, 3060, 195};
constexpr TwipsRect kPanel{180, 1020, 8115, 6375};
constexpr TwipsRect kHelpBox{360, 1140, 7695, 6015};
constexpr TwipsRect kDonation{180, 7440, 1275, 195};

void place(QWidget* w, const TwipsRect& r) {
    placeTwips(w, r.left, r.top, r.width, r.height);
}

// No event tells when the window manager has framed a window, so the frame is
// looked for a while after showing.
constexpr int kFrameWatchIntervalMs = 20;
constexpr int kFrameWatchTicks = 150;

// While the window is being framed, the margins read back may be none or
// nonsense (negative); a real frame has neither.
bool isFrame(const QMargins& m) {
    return !m.isNull() && m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0;
}

constexpr double kSmallPoints = 8.25;
constexpr double kTitlePoints = 24;

const QString kCaption = QStringLiteral("Kamsulo - Info");
const QString kAuthorLine = QStringLiteral("Autor: das Kamsulo-Team");
const QString kDonationText = QStringLiteral("PayPal Spende");
const QString kDonationTip = QStringLiteral(
    "Dir gefällt das Programm? Du möchtest die Entwicklung mit einer Spende über PayPal "
    "unterstützen?");

// The fonts the window is designed for, each followed by a metric-compatible
// stand-in for systems that lack it.
QFont verdana(double points) {
    QFont f;
    f.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    f.setPointSizeF(points);
    return f;
}

QFont courierNew(double points) {
    QFont f;
    f.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    f.setStyleHint(QFont::Monospace);
    f.setPointSizeF(points);
    return f;
}

void fillBackground(QWidget* w, quint32 bgr) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, fromBgr(bgr));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setInk(QWidget* w, quint32 bgr) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, fromBgr(bgr));
    w->setPalette(p);
}

// A label without background of its own.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                  quint32 ink) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(font);
    setInk(l, ink);
    return l;
}

void placeSizedToText(QLabel* l, const TwipsRect& r) {
    place(l, r);
    l->adjustSize();
}

QPointer<InfoDialog> g_instance;
QIcon g_programIcon;

} // namespace

InfoDialog::InfoDialog(const QIcon& icon, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("infoDialog"));
    setWindowTitle(kCaption);
    setWindowIcon(icon);
    fillBackground(this, WindowBack);
    setFixedSize(platform::twipsToPixelsX(kClientWidth), platform::twipsToPixelsY(kClientHeight));

    buildHeader();
    buildHelpPanel();
    buildDonationLink();

    frameWatch_.setInterval(kFrameWatchIntervalMs);
    connect(&frameWatch_, &QTimer::timeout, this, &InfoDialog::watchForFrame);
}

void InfoDialog::buildHeader() {
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("header"));
    fillBackground(header, HeaderBack);
    place(header, kHeader);

    placeSizedToText(
        makeLabel(header, "titleLabel", platform::AppInfo::title(), verdana(kTitlePoints), Black),
        kTitle);
    placeSizedToText(
        makeLabel(header, "versionLabel",
                  versionCaption(platform::AppInfo::major(), platform::AppInfo::minor()),
                  verdana(kSmallPoints), Black),
        kVersion);
    place(makeLabel(header, "authorLabel", kAuthorLine, verdana(kSmallPoints), Black), kAuthor);
}

void InfoDialog::buildHelpPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("helpPanel"));
    fillBackground(panel, PanelBack);
    place(panel, kPanel);

    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("helpText"));
    text->setFont(courierNew(kSmallPoints));
    QPalette p = text->palette();
    p.setColor(QPalette::Base, fromBgr(PanelBack));
    p.setColor(QPalette::Text, fromBgr(HelpTextInk));
    text->setPalette(p);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setPlainText(helpText());
    place(text, kHelpBox);
}

void InfoDialog::buildDonationLink() {
    QFont font = verdana(kSmallPoints);
    font.setUnderline(true);
    donationLabel_ = makeLabel(this, "donationLabel", kDonationText, font, White);
    donationLabel_->setToolTip(kDonationTip);
    donationLabel_->setCursor(Qt::PointingHandCursor);
    donationLabel_->installEventFilter(this);
    place(donationLabel_, kDonation);
}

InfoDialog* InfoDialog::instance() {
    if (!g_instance) g_instance = new InfoDialog(g_programIcon);
    return g_instance;
}

void InfoDialog::setProgramIcon(const QIcon& icon) {
    g_programIcon = icon;
    if (g_instance) g_instance->setWindowIcon(icon);
}

void InfoDialog::showInFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void InfoDialog::unload() {
    delete g_instance.data();
}

void InfoDialog::openDonationPage() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kDonationAddress)));
}

bool InfoDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == donationLabel_ && event->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton &&
            donationLabel_->rect().contains(me->position().toPoint()))
            openDonationPage();
    }
    return QWidget::eventFilter(watched, event);
}

void InfoDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centred_) return;
    centred_ = true;
    centreOnScreen();
    frameWatchTicks_ = 0;
    frameWatch_.start();
}

void InfoDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    frameWatch_.stop();
    if (g_instance == this) g_instance = nullptr;
    deleteLater();
}

void InfoDialog::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    QWindow* window = windowHandle();
    if (!screen || !window) return;
    // The native window's frame, which is newer than the one QWidget caches.
    const QSize outer = size().grownBy(window->frameMargins());
    const QRect s = screen->geometry();
    window->setFramePosition(
        QPoint(s.x() + (s.width() - outer.width()) / 2, s.y() + (s.height() - outer.height()) / 2));
}

void InfoDialog::watchForFrame() {
    const QWindow* window = windowHandle();
    if (isVisible() && window && isFrame(window->frameMargins())) {
        frameWatch_.stop();
        centreOnScreen();
    } else if (++frameWatchTicks_ >= kFrameWatchTicks) {
        frameWatch_.stop(); // no window manager draws a frame
    }
}

} // namespace kamsulo::info
