#pragma once
// Copies the whole screen or the foreground window into a new picture and hands it
// to the main window's canvas. No window of its own: the main window steps aside,
// calls one of the two captures and comes back when it returns.
#include "platform/ScreenGrabber.h"

#include <QImage>
#include <QRect>

namespace kamsulo::capture {

class CaptureHost;

// Which part of a window a capture reads from.
enum class WindowArea {
    Client, // the client area: the origin is the client's top-left corner
    Whole,  // the whole window with frame and title bar: the origin is its outer corner
};

class ScreenCapture {
public:
    // `host` (may be null) receives the pictures of the two canvas captures.
    ScreenCapture(CaptureHost* host, platform::ScreenGrabber& grabber);

    // A copy of `source` (pixels, relative to the origin of `area`) of a window. A
    // window that is gone, a zero window or an empty rectangle give an empty picture.
    QImage captureWindow(platform::WindowId window, WindowArea area, const QRect& source);
    // The whole primary screen.
    QImage captureScreen();
    // The foreground window as it is seen, frame and title bar included, cut to the
    // monitors. The whole screen when no window is in front, none of it is on a monitor,
    // or it is the host's own.
    QImage captureActiveWindow();

    // The screen, handed to the canvas.
    void captureScreenToCanvas();
    // Asks the user to click the wanted window, waits two to three seconds while the
    // events run on, then hands the foreground window to the canvas.
    void captureActiveWindowToCanvas();

private:
    void handOver(const QImage& picture);

    CaptureHost* host_;
    platform::ScreenGrabber& grabber_;
};

} // namespace kamsulo::capture
