#pragma once
// The window that the window manager shows as active, and who owns it: enough to
// tell whether a program that was just started has come to the front.
#include <QList>
#include <QString>
#include <optional>

namespace kamsulo::platform {

struct WindowOwner {
    quint64 window = 0;   // the window's id
    qint64 pid = 0;       // the process that says it owns the window; 0 when it does not say
    QString instanceName; // the two halves of its window class
    QString className;
};

// The active window (_NET_ACTIVE_WINDOW) and its owner; none when no window is
// active or no window manager keeps the property.
std::optional<WindowOwner> activeWindow();

// The windows that the window manager manages now (_NET_CLIENT_LIST).
QList<quint64> managedWindows();

} // namespace kamsulo::platform
