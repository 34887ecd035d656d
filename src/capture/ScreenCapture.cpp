#include "capture/ScreenCapture.h"

#include "capture/CaptureHost.h"
#include "platform/MessageBox.h"
#include "platform/TimingTrace.h"
#include "platform/WindowBounds.h"

#include <QDateTime>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>

namespace kamsulo::capture {

using platform::WindowId;

namespace {
// The time the user has to click the wanted window, in whole seconds.
constexpr qint64 activeWindowWaitSeconds = 2;
// How often the wait looks at the clock while the events run.
constexpr int clockPollMs = 25;
} // namespace

ScreenCapture::ScreenCapture(CaptureHost* host, platform::ScreenGrabber& grabber)
    : host_(host), grabber_(grabber) {}

QImage ScreenCapture::captureWindow(WindowId window, WindowArea area, const QRect& source) {
    if (window == 0 || source.width() <= 0 || source.height() <= 0) return {};
    const QRect origin =
        area == WindowArea::Client ? grabber_.clientRect(window) : grabber_.windowRect(window);
    if (origin.isNull()) return {};
    return grabber_.grabRoot(source.translated(origin.topLeft()));
}

QImage ScreenCapture::captureScreen() {
    // The primary screen in device pixels, the origin of the desktop window's picture.
    const QRect screen = grabber_.primaryScreen();
    return captureWindow(grabber_.rootWindow(), WindowArea::Whole,
                         QRect(QPoint(0, 0), screen.size()));
}

QImage ScreenCapture::captureActiveWindow() {
    // Some desktops hand out the window's picture only whole.
    if (std::optional<QImage> whole = grabber_.grabActiveWindow()) return *whole;
    const WindowId window = grabber_.activeWindow();
    // With no active window (the desktop in front) the picture is the whole screen,
    // as a window device context of no window would give. So it is with our own window,
    // which has stepped aside even where the window manager still names it active.
    if (window == 0 || (host_ && window == host_->hostWindow())) return captureScreen();
    const QRect outer = grabber_.windowRect(window);
    if (outer.isNull()) return {};
    // What of the window the monitors show; the gaps between them are black.
    const QList<platform::Monitor> monitors = grabber_.monitors();
    const QRect seen = platform::partOnMonitors(outer, monitors);
    if (seen.isEmpty()) return captureScreen();
    QImage picture = grabber_.grabRoot(seen);
    const QRegion gaps = platform::offMonitors(seen, monitors);
    if (!picture.isNull() && !gaps.isEmpty()) {
        QPainter painter(&picture);
        for (const QRect& gap : gaps)
            painter.fillRect(gap, Qt::black);
    }
    return picture;
}

void ScreenCapture::handOver(const QImage& picture) {
    // A grab that the desktop refused leaves the canvas as it was and says why.
    if (picture.isNull() && !grabber_.failure().isEmpty()) {
        platform::messageBox(grabber_.failure(), platform::BoxStyle::OkExclamation);
        return;
    }
    if (host_) host_->handOverCapture(picture);
}

void ScreenCapture::captureScreenToCanvas() {
    platform::traceTiming("screen-grab-begin");
    handOver(captureScreen());
    platform::traceTiming("picture-handed-over");
}

void ScreenCapture::captureActiveWindowToCanvas() {
    // The desktop's own dialog, where the user picks the window, takes the place of the
    // prompt and the wait.
    if (grabber_.desktopPicksWindow()) return handOver(captureActiveWindow());
    platform::messageBox(
        QStringLiteral("Klicke auf das gewünschte Fenster, und warte einen Augenblick ..."),
        platform::BoxStyle::Ok);
    // Whole seconds, and strictly later: the wait lasts between two and three seconds.
    const qint64 deadline = QDateTime::currentSecsSinceEpoch() + activeWindowWaitSeconds;
    while (QDateTime::currentSecsSinceEpoch() <= deadline) {
        QEventLoop loop;
        QTimer::singleShot(clockPollMs, &loop, &QEventLoop::quit);
        loop.exec(); // lets the user's click reach the window manager and the program
    }
    handOver(captureActiveWindow());
}

} // namespace kamsulo::capture
