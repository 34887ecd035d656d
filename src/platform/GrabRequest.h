#pragma once
// A picture asked of the desktop. The answer comes later, as a signal: never inside
// the call that asked, so that the asker can connect first, and never after the
// request is gone: deleting a request withdraws it, and what the desktop still
// prepares for it (a portal's dialog, say) is called off.
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <memory>

class QWindow;

namespace kamsulo::platform {

enum class GrabTarget {
    Rectangle,    // a rectangle of the desktop, in its device pixels
    ActiveWindow, // the window in front, frame and title bar included, cut to the monitors
    PickedWindow, // a window the user picks in the desktop's own dialog
};

struct GrabOrder {
    GrabTarget target = GrabTarget::Rectangle;
    QRect rect; // Rectangle only; parts off the desktop are black
    // ActiveWindow: this window of the program's (stepped aside, though the desktop may
    // still name it active) counts as no window, which gives the whole primary screen.
    const QWindow* ownWindow = nullptr;
};

struct GrabAnswer {
    QImage picture;  // Format_RGB32, opaque; null when none came
    QString failure; // why not, in German for the user; empty when a picture came or
                     // the desktop gave no reason
};

class GrabRequest : public QObject {
    Q_OBJECT
public:
    ~GrabRequest() override;

    // Answers with `answer` on a later turn of the event loop: for pictures that are
    // there at once.
    static std::unique_ptr<GrabRequest> answered(GrabAnswer answer);

signals:
    // Once per request.
    void done(const kamsulo::platform::GrabAnswer& answer);

protected:
    GrabRequest() = default;
    // Emits done() at most once.
    void finish(const GrabAnswer& answer);

private:
    bool finished_ = false;
};

} // namespace kamsulo::platform
