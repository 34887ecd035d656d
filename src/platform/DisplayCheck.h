#pragma once
// Whether the X server the program would talk to answers (DISPLAY set and reachable).

namespace kamsulo::platform {

bool x11DisplayReachable();

} // namespace kamsulo::platform
