#pragma once
// Answering the real modal boxes and dialogs that a test provokes.
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace kamsulo::test {

// A pending whenModal; cancel() stops it from acting (say, when its test ends).
class ModalWatch {
public:
    ModalWatch() = default;
    explicit ModalWatch(std::shared_ptr<bool> live) : live_(std::move(live)) {}
    void cancel() {
        if (live_) *live_ = false;
    }

private:
    std::shared_ptr<bool> live_;
};

// Calls `action` once the next modal widget is active (polling the event loop
// through a timer), so that a test can press the real box's buttons while the
// code under test waits inside exec(). Gives up after `timeoutMs`.
// With `accept`, only a modal widget for which it answers true counts (a message box
// on top of a file dialog, say).
ModalWatch whenModal(std::function<void(QWidget*)> action, int timeoutMs = 5000,
                     std::function<bool(QWidget*)> accept = nullptr);

// Presses the button with this text (e.g. "&Ja", "Ja", "Nein", "OK") on the
// widget; ampersands are ignored when comparing. Returns false when none matched.
bool pressButton(QWidget* box, const QString& text);

// The text of a QMessageBox, and its window title.
QString boxText(QWidget* box);

// Processes events until `cond` holds or `timeoutMs` passes.
bool waitFor(const std::function<bool()>& cond, int timeoutMs = 5000);

} // namespace kamsulo::test
