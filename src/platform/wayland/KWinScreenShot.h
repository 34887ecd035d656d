#pragma once
// Pictures from KDE Plasma's compositor, through KWin's org.kde.KWin.ScreenShot2. KWin
// answers only programs whose desktop entry lists that interface under
// X-KDE-DBUS-Restricted-Interfaces and whose executable is the entry's Exec.
#include <QImage>

namespace kamsulo::platform {

enum class KWinAnswer {
    Taken,
    NotAuthorized, // no desktop entry allows this program the interface
    Failed,        // no KWin, or it gave no picture
};

struct KWinShot {
    KWinAnswer answer = KWinAnswer::Failed;
    QImage picture; // Format_RGB32; null unless taken
};

// The active window with its frame, at the outputs' native resolution.
KWinShot kwinActiveWindow();
// Every output, at native resolution: the desktop's top-left corner is 0,0. `expected`:
// the desktop's likely size in device pixels, whose memory is made ready meanwhile.
KWinShot kwinWorkspace(QSize expected = {});

} // namespace kamsulo::platform
