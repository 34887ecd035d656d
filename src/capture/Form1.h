#pragma once
// The capture form: loaded, never shown. Its two buttons capture the screen or the
// foreground window and hand the picture to the main window's canvas.
#include "platform/ScreenGrabber.h"

#include <QImage>
#include <QWidget>

class QPushButton;

namespace kamsulo::capture {

class CaptureHost;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(CaptureHost* host, platform::ScreenGrabber& grabber, QWidget* parent = nullptr);

    // A copy of srcWidth x srcHeight pixels at (srcLeft, srcTop) of a window: of its
    // client area, or of the whole window with frame and title bar. A window that is
    // gone, or a zero handle, gives an empty picture.
    QImage CaptureWindow(platform::WindowId hwndSource, bool clientArea, int srcLeft, int srcTop,
                         int srcWidth, int srcHeight);
    // The whole primary screen.
    QImage CaptureScreen();
    // The foreground window, frame and title bar included.
    QImage CaptureActiveWindow();

    // Setting a button's value: raises its click.
    QPushButton* Command1 = nullptr; // screen capture into the canvas
    QPushButton* Command4 = nullptr; // prompt, wait, active-window capture

    void Command1_Click();
    void Command4_Click();

private:
    void handOver(const QImage& picture);

    CaptureHost* host_;
    platform::ScreenGrabber& grabber_;
};

} // namespace kamsulo::capture
