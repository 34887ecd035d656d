#pragma once
// The active window on KDE Plasma, through KWin's org.kde.KWin.ScreenShot2. KWin
// answers only programs whose desktop entry lists that interface under
// X-KDE-DBUS-Restricted-Interfaces. Written against the interface's documentation;
// not tested here, where no KWin takes pointer input.
#include <QImage>

namespace kamsulo::platform {

// The active window with its frame; null when KWin does not answer or refuses.
QImage kwinActiveWindow();

} // namespace kamsulo::platform
