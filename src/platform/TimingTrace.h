#pragma once
// Opt-in timing marks for the user-level benchmark (bench/user/run). With the
// environment variable KAMSULO_TRACE_TIMING set, each mark prints one line
//   kamsulo-timing <event> <seconds on CLOCK_MONOTONIC>
// to stderr, so that a watcher on the same clock can line the marks up with what
// it sees on the display. Without the variable a mark costs one branch.

namespace kamsulo::platform {

void traceTiming(const char* event);

} // namespace kamsulo::platform
