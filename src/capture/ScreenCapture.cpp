#include "capture/ScreenCapture.h"

#include "capture/CaptureHost.h"
#include "platform/MessageBox.h"
#include "platform/TimingTrace.h"

#include <QDateTime>
#include <QWidget>
#include <algorithm>

namespace kamsulo::capture {

using platform::GrabMode;
using platform::GrabOrder;
using platform::GrabTarget;

namespace {
// The time the user has to click the wanted window, in whole seconds of the clock.
constexpr qint64 activeWindowWaitSeconds = 2;

const char* const clickPrompt = "Klicke auf das gewünschte Fenster, und warte einen Augenblick ...";
const char* const noWindowText =
    "Kein Bild eines Fensters möglich: Die Arbeitsumgebung gibt keines heraus.";
} // namespace

ScreenCapture::ScreenCapture(CaptureHost* host, platform::ScreenGrabber& grabber, QObject* parent)
    : QObject(parent), host_(host), grabber_(grabber) {
    clickWait_.setSingleShot(true);
    connect(&clickWait_, &QTimer::timeout, this, [this] { ask(activeWindowOrder()); });
}

ScreenCapture::~ScreenCapture() {
    cancel();
}

GrabOrder ScreenCapture::activeWindowOrder() const {
    return {GrabTarget::ActiveWindow, {}, host_ ? host_->hostWindow() : nullptr};
}

platform::GrabAnswer ScreenCapture::captureScreen() {
    return grabber_.grabNow({GrabTarget::Rectangle, grabber_.primaryScreen(), nullptr});
}

platform::GrabAnswer ScreenCapture::captureActiveWindow() {
    return grabber_.grabNow(activeWindowOrder());
}

void ScreenCapture::start(CaptureKind kind) {
    if (running_) return;
    running_ = true;
    const platform::GrabModes modes = grabber_.modes();
    if (kind == CaptureKind::Screen) {
        platform::traceTiming("screen-grab-begin");
        return ask({GrabTarget::Rectangle, grabber_.primaryScreen(), nullptr});
    }
    if (modes & GrabMode::WindowPickedByClick) return askForWindowClick();
    // The desktop's own dialog, where the user picks the window, takes the place of the
    // prompt and the wait.
    if (modes & GrabMode::WindowPickedByDesktop)
        return ask({GrabTarget::PickedWindow, {}, nullptr});
    request_ = platform::GrabRequest::answered({{}, QString::fromUtf8(noWindowText)});
    connect(request_.get(), &platform::GrabRequest::done, this, &ScreenCapture::onAnswer);
}

void ScreenCapture::askForWindowClick() {
    box_ = platform::openMessageBox(QString::fromUtf8(clickPrompt), platform::BoxStyle::Ok, {},
                                    nullptr, this, [this](platform::BoxAnswer) {
                                        box_ = nullptr;
                                        startClickWait();
                                    });
}

void ScreenCapture::startClickWait() {
    // Whole seconds, and strictly later: the wait ends when the clock's second after the
    // deadline begins, between two and three seconds from now. The user's click reaches
    // the window manager meanwhile.
    const qint64 deadline = QDateTime::currentSecsSinceEpoch() + activeWindowWaitSeconds;
    const qint64 left = (deadline + 1) * 1000 - QDateTime::currentMSecsSinceEpoch();
    clickWait_.start(int(std::max<qint64>(0, left)));
}

void ScreenCapture::ask(const GrabOrder& order) {
    request_ = grabber_.request(order);
    connect(request_.get(), &platform::GrabRequest::done, this, &ScreenCapture::onAnswer);
}

void ScreenCapture::onAnswer(const platform::GrabAnswer& answer) {
    // The request is done with; it goes once this signal has returned.
    if (request_) request_.release()->deleteLater();
    // A grab that the desktop refused leaves the canvas as it was and says why.
    if (answer.picture.isNull() && !answer.failure.isEmpty()) {
        box_ = platform::openMessageBox(answer.failure, platform::BoxStyle::OkExclamation, {},
                                        nullptr, this, [this](platform::BoxAnswer) {
                                            box_ = nullptr;
                                            finish();
                                        });
        return;
    }
    if (host_) host_->handOverCapture(answer.picture);
    platform::traceTiming("picture-handed-over");
    finish();
}

void ScreenCapture::finish() {
    running_ = false;
    emit finished();
}

void ScreenCapture::cancel() {
    clickWait_.stop();
    request_.reset();
    platform::closeMessageBox(box_);
    box_ = nullptr;
    running_ = false;
}

} // namespace kamsulo::capture
