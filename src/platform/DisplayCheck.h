#pragma once
// Whether the display servers the program could talk to answer.

namespace kamsulo::platform {

// DISPLAY set and its X server reachable.
bool x11DisplayReachable();
// WAYLAND_DISPLAY set and its compositor's socket accepting connections.
bool waylandDisplayReachable();

} // namespace kamsulo::platform
