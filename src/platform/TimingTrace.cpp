#include "platform/TimingTrace.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace kamsulo::platform {

void traceTiming(const char* event) {
    static const bool enabled = std::getenv("KAMSULO_TRACE_TIMING") != nullptr;
    if (!enabled) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "kamsulo-timing %s %lld.%06ld\n", event,
                 static_cast<long long>(now.tv_sec), now.tv_nsec / 1000);
    std::fflush(stderr);
}

} // namespace kamsulo::platform
