#pragma once
// The X server's button and motion events as Qt dispatches them, recorded with their
// device positions (XInput 2 events for the master pointers, else core events).
namespace kamsulo::platform {

class PointerEventLog;

// Records into `log` from now on, for as long as the application lives; does nothing
// without an X display or when it does so already.
void followX11PointerEvents(PointerEventLog& log);

} // namespace kamsulo::platform
