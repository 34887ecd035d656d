// The walls around the decoder process, raised before it reads the first byte of a
// picture: no new privileges, a seccomp allow-list, limits on its address space and
// processor time.
#pragma once

#include <sys/resource.h>

namespace kamsulo::imaging::decoder {

struct SandboxLimits {
    rlim_t addressSpaceBytes = RLIM_INFINITY;
    rlim_t cpuSeconds = RLIM_INFINITY;
    // The descriptor of a file opened before the walls, by its name, or -1: a stat of
    // that name is answered from it. Called in a signal handler.
    int (*knownFile)(const char* name) = nullptr;
};

// False when any wall could not be raised: the process must then not go on.
bool enterSandbox(const SandboxLimits& limits);

} // namespace kamsulo::imaging::decoder
