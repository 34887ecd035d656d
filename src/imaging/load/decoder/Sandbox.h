// The walls around the decoder process, raised before it reads the first byte of a
// picture: no new privileges, a seccomp allow-list, limits on its address space and
// processor time.
#pragma once

#include <sys/resource.h>

namespace kamsulo::imaging::decoder {

struct SandboxLimits {
    rlim_t addressSpaceBytes = RLIM_INFINITY;
    rlim_t cpuSeconds = RLIM_INFINITY;
};

// False when any wall could not be raised: the process must then not go on.
bool enterSandbox(const SandboxLimits& limits);

} // namespace kamsulo::imaging::decoder
