#pragma once
#include <QIcon>

namespace kamsulo::app {

// The program's own icon, drawn here: the window icon and the Tray button's picture
// (which also serves as the notification-area icon).
QIcon appIcon();
// The picture of main-window button `index` (0 to 8), from the desktop's icon theme
// with a drawn stand-in where the theme lacks it.
QIcon buttonIcon(int index);

} // namespace kamsulo::app
