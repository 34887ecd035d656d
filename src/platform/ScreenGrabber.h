#pragma once
// Pictures of the screen and of the window in front, asked for and answered later.
#include "platform/Capabilities.h"
#include "platform/DevicePixels.h"
#include "platform/GrabRequest.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <memory>

namespace kamsulo::platform {

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
    virtual std::unique_ptr<GrabRequest> request(const GrabOrder& order) = 0;
    // A grab of the whole primary screen is coming once the screen has repainted: its
    // memory may be readied meanwhile, on another thread. Optional.
    virtual void prepareScreenGrab() {}

    // The same picture, taken before this returns: at once where the display server
    // hands pictures out directly (X11), else waited for. TODO(async): goes once the
    // region overlay and the command line ask through request().
    virtual GrabAnswer grabNow(const GrabOrder& order) = 0;
};

// The implementation for this system; never null.
ScreenGrabber& screenGrabber();

} // namespace kamsulo::platform
