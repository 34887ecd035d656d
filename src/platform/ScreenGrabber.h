#pragma once
// Pictures of the screen and of the window in front, asked for and answered later.
#include "platform/Capabilities.h"
#include "platform/DevicePixels.h"
#include "platform/GrabRequest.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace kamsulo::platform {

using WindowId = std::uint64_t; // 0: no window

class ScreenGrabber {
public:
    virtual ~ScreenGrabber() = default;

    // The pictures this desktop gives.
    virtual GrabModes modes() const = 0;
    // Whether its pictures show the mouse pointer.
    virtual bool picturesShowPointer() const { return false; }

    // Geometry of the primary screen, in device pixels of the desktop.
    virtual QRect primaryScreen() const = 0;
    // Every monitor in device pixels of the desktop; the gaps between them show
    // nothing. By default Qt's screens, each from its origin and its scaled size.
    virtual QList<Monitor> monitors() const;
    // The whole desktop (all screens).
    virtual QRect rootRect() const = 0;

    // Asks for a picture; the request answers later and may be deleted to withdraw it.
    // By default it is taken at once through the calls below and answered on the next
    // turn of the event loop.
    virtual std::unique_ptr<GrabRequest> request(const GrabOrder& order);
    // A grab of the whole primary screen is coming once the screen has repainted: its
    // memory may be readied meanwhile, on another thread. Optional.
    virtual void prepareScreenGrab() {}

    // --- Taken at once (the default request() and callers that cannot wait) ---
    // TODO(async): these go into the backends that need them once each answers
    // request() itself.
    QImage grabNow(const GrabOrder& order);

    // The desktop window: its outer rectangle is the primary screen.
    virtual WindowId rootWindow() const = 0;
    // A copy of a rectangle of the root window, in root pixels. Parts outside the
    // root window are black. The image is Format_RGB32 with opaque alpha.
    virtual QImage grabRoot(const QRect& rect) = 0;
    // The foreground window's picture, frame included, where the system hands it out
    // whole rather than as a rectangle of the screen; none where activeWindow() and
    // windowRect() serve. An empty picture when it failed (see failure()).
    virtual std::optional<QImage> grabActiveWindow() { return std::nullopt; }
    // Why the last grab gave an empty picture, in German for the user (the desktop
    // refused it, or has no way to give it); empty when the grab worked.
    virtual QString failure() const { return {}; }
    // The foreground window: the window manager's active window, or the input focus
    // when there is none, each only when it is a client's window that is shown. 0 when
    // neither is (the desktop in front).
    virtual WindowId activeWindow() = 0;
    // The outer window as the window manager shows it (frame and title bar), i.e. the
    // ancestor of `window` that is a child of the root. 0 when the window is gone.
    virtual WindowId frameOf(WindowId window) = 0;
    // Outer rectangle of a window in root coordinates; empty when it is gone.
    virtual QRect windowRect(WindowId window) = 0;
    // Client rectangle (the window itself, without the frame) in root coordinates.
    virtual QRect clientRect(WindowId window) = 0;
};

// The implementation for this system; never null.
ScreenGrabber& screenGrabber();

} // namespace kamsulo::platform
