#pragma once
// A screenshot through the desktop portal (org.freedesktop.portal.Screenshot): the
// call, the Request's Response awaited while the events run on (a Request not answered
// in time is closed), and the file behind the answer's uri read at once (the portal may
// write every caller's picture to the same file) and removed.
#include <QImage>
#include <QString>

namespace kamsulo::platform {

struct PortalShot {
    QImage picture;  // Format_RGB32; null when the portal gave none
    QString failure; // why, in German; empty when the picture came
};

// interactive: the desktop's own dialog lets the user choose what to take (a window,
// for instance); otherwise the whole desktop without a question. `memory`: ready memory
// for the picture, taken when it has the picture's size.
PortalShot portalScreenshot(bool interactive, QImage memory = {});

} // namespace kamsulo::platform
