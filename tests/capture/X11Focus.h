#pragma once
#include <cstdint>

// True when a window manager announces itself on the root window.
bool hasWindowManager();
// Gives the input focus to `window` directly.
void focusDirectly(std::uint64_t window);
