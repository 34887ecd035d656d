#pragma once
// One capture of the whole screen or of the window in front, asked of the desktop and
// handed to the main window's canvas when its picture comes. No window of its own: the
// main window steps aside, starts the capture, and comes back when it has finished.
// Nothing here waits: the prompt is answered, the wait is a timer, and the desktop's
// picture arrives as a signal.
#include "platform/ScreenGrabber.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QWidget;

namespace kamsulo::capture {

class CaptureHost;

enum class CaptureKind {
    Screen, // the whole primary screen
    Window, // the window the user clicks during a short wait (or picks in the desktop's
            // own dialog where that is the only way)
};

class ScreenCapture : public QObject {
    Q_OBJECT
public:
    // `host` (may be null) receives the picture.
    ScreenCapture(CaptureHost* host, platform::ScreenGrabber& grabber, QObject* parent = nullptr);
    // Withdraws a capture that runs.
    ~ScreenCapture() override;

    // Starts a capture; finished() follows, unless cancel() comes first. Ignored while
    // one runs.
    void start(CaptureKind kind);
    bool running() const { return running_; }
    // Withdraws the capture that runs: the prompt closes, the desktop's request is
    // called off, nothing is handed over and finished() does not come.
    void cancel();

    // The whole primary screen, taken before this returns.
    platform::GrabAnswer captureScreen();
    // The window in front, taken before this returns, frame and title bar included, cut
    // to the monitors. The whole screen when no window is in front, none of it is on a
    // monitor, or it is the host's own.
    platform::GrabAnswer captureActiveWindow();

signals:
    // The picture was handed to the host, or the failure was said and acknowledged.
    void finished();

private:
    void askForWindowClick();
    void startClickWait();
    void ask(const platform::GrabOrder& order);
    void onAnswer(const platform::GrabAnswer& answer);
    void finish();
    platform::GrabOrder activeWindowOrder() const;

    CaptureHost* host_;
    platform::ScreenGrabber& grabber_;
    bool running_ = false;
    std::unique_ptr<platform::GrabRequest> request_;
    QPointer<QWidget> box_; // the prompt or the failure's message
    QTimer clickWait_;
};

} // namespace kamsulo::capture
