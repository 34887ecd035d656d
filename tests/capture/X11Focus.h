#pragma once
#include <cstdint>

// Takes the window manager's active-window hint off the root window and gives the
// input focus to `window` directly, as happens when no window manager runs.
void dropActiveHintAndFocus(std::uint64_t window);
