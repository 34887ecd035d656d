#pragma once
// The main window's button row, left to right in the order the dispatcher knows
// them, and the window states the layout distinguishes.

namespace kamsulo::app {

enum class MainButton : int {
    Region = 0,
    Screen = 1,
    Window = 2,
    Clipboard = 3,
    Paint = 4,
    Save = 5,
    Info = 6,
    Open = 7,
    Tray = 8,
};
constexpr int kMainButtonCount = 9;

enum class FormState : int { Normal = 0, Minimized = 1, Maximized = 2 };

} // namespace kamsulo::app
