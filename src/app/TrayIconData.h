#pragma once
// The notification-area icon's record, filled when the main window loads.
#include <QIcon>
#include <QString>
#include <cstdint>

namespace kamsulo::app {

struct TrayIconData {
    std::uint32_t cbSize = 0;
    std::uint64_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;           // 1 message + 2 icon + 4 tip
    std::uint32_t uCallbackMessage = 0; // the mouse-move message number
    QIcon hIcon;                        // the Tray button's picture
    QString szTip;                      // 64 characters at most, NUL-terminated
};

} // namespace kamsulo::app
