#include "imaging/load/decoder/AllocationWatch.h"

#include "imaging/load/DecodeAnswer.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

namespace kamsulo::imaging::decoder {

namespace {
std::atomic<bool> exhausted{false};
} // namespace

void noteExhausted() {
    if (exhausted.exchange(true)) return;
    const std::uint32_t yes = 1;
    // Async-signal-safe and allocation-free: fine inside the allocator.
    [[maybe_unused]] const ssize_t written =
        pwrite(DecoderAnswerFd, &yes, sizeof yes, offsetof(DecodeAnswer, memoryExhausted));
}

bool memoryExhausted() {
    return exhausted.load();
}

} // namespace kamsulo::imaging::decoder

// The sanitizers bring an allocator of their own (and no address-space limit is set
// under them); elsewhere glibc's is wrapped.
#ifndef KAMSULO_SANITIZED
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);

void* malloc(std::size_t size) {
    void* block = __libc_malloc(size);
    if (!block && size) kamsulo::imaging::decoder::noteExhausted();
    return block;
}
void* calloc(std::size_t count, std::size_t size) {
    void* block = __libc_calloc(count, size);
    if (!block && count && size) kamsulo::imaging::decoder::noteExhausted();
    return block;
}
void* realloc(void* block, std::size_t size) {
    void* moved = __libc_realloc(block, size);
    if (!moved && size) kamsulo::imaging::decoder::noteExhausted();
    return moved;
}
}
#endif
