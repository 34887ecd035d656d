#pragma once
// Whether a process that this program started on its own (detached) still runs.
#include <QtGlobal>

namespace kamsulo::platform {

// False once the process has ended, also while it waits to be reaped.
bool processRunning(qint64 pid);

} // namespace kamsulo::platform
