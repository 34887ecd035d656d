#include "capture/Form1.h"

#include "capture/CaptureHost.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"

#include <QDateTime>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace kamsulo::capture {

using platform::WindowId;

Form1::Form1(CaptureHost* host, platform::ScreenGrabber& grabber, QWidget* parent)
    : QWidget(parent), host_(host), grabber_(grabber) {
    setWindowTitle(QStringLiteral("Bildschirm und Aktives fenster"));
    platform::resizeClientTwips(this, 4215, 1485);
    Command1 = new QPushButton(QStringLiteral("Command1"), this);
    platform::placeTwips(Command1, 240, 120, 2655, 495);
    Command4 = new QPushButton(QStringLiteral(" active window after 2 s"), this);
    platform::placeTwips(Command4, 240, 720, 2655, 495);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
}

QImage Form1::CaptureWindow(WindowId hwndSource, bool clientArea, int srcLeft, int srcTop,
                            int srcWidth, int srcHeight) {
    if (hwndSource == 0 || srcWidth <= 0 || srcHeight <= 0) return {};
    // The device context's origin: the client area's or the outer window's corner.
    const QRect origin =
        clientArea ? grabber_.clientRect(hwndSource) : grabber_.windowRect(hwndSource);
    if (origin.isNull()) return {};
    const QRect src(origin.x() + srcLeft, origin.y() + srcTop, srcWidth, srcHeight);
    return grabber_.grabRoot(src);
}

QImage Form1::CaptureScreen() {
    // Screen size in twips, divided by whole twips per pixel: a remainder is lost.
    const QRect screen = grabber_.primaryScreen();
    const int tppX = platform::twipsPerPixelX();
    const int tppY = platform::twipsPerPixelY();
    const long long twipsW = static_cast<long long>(screen.width()) * tppX;
    const long long twipsH = static_cast<long long>(screen.height()) * tppY;
    const int width = static_cast<int>(twipsW / tppX);
    const int height = static_cast<int>(twipsH / tppY);
    const WindowId desktop = grabber_.rootWindow();
    return CaptureWindow(desktop, false, 0, 0, width, height);
}

QImage Form1::CaptureActiveWindow() {
    const WindowId hwnd = grabber_.activeWindow();
    const QRect r = grabber_.windowRect(hwnd);
    return CaptureWindow(hwnd, false, 0, 0, r.width(), r.height());
}

void Form1::handOver(const QImage& picture) {
    if (host_) host_->handOverCapture(picture);
}

void Form1::Command1_Click() {
    handOver(CaptureScreen());
}

void Form1::Command4_Click() {
    platform::MsgBox(
        QStringLiteral("Klicke auf das gewünschte Fenster, und warte einen Augenblick ..."), 0,
        QString(), nullptr);
    // Whole seconds, and strictly later: the wait lasts between two and three seconds.
    const qint64 deadline = QDateTime::currentSecsSinceEpoch() + 2;
    while (QDateTime::currentSecsSinceEpoch() <= deadline) {
        QEventLoop loop;
        QTimer::singleShot(25, &loop, &QEventLoop::quit);
        loop.exec(); // lets the user's click reach the window manager and the program
    }
    handOver(CaptureActiveWindow());
}

} // namespace kamsulo::capture
