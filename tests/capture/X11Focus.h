#pragma once
#include <QPoint>
#include <cstdint>

// True when a window manager announces itself on the root window.
bool hasWindowManager();
// Gives the input focus to `window` directly.
void focusDirectly(std::uint64_t window);
// The window manager's _NET_ACTIVE_WINDOW (0: none), and the window with the input
// focus (0: none, or the pointer's root).
std::uint64_t netActiveWindow();
std::uint64_t inputFocus();
// A left click at a point of the screen, as the user's.
void clickAt(QPoint where);
