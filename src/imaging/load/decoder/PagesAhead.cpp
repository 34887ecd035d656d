#include "imaging/load/decoder/PagesAhead.h"

#include <atomic>
#include <sys/mman.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace kamsulo::imaging::decoder {

namespace {

// Small enough for a stop to come soon, large enough for few calls.
constexpr std::size_t ChunkBytes = 1 << 20;

std::atomic<bool> stopping{false};
std::thread worker;

void faultIn(char* start, std::size_t length) {
    const auto page = std::size_t(sysconf(_SC_PAGESIZE));
    std::size_t end = (length + page - 1) / page * page;
    while (end > 0 && !stopping.load(std::memory_order_relaxed)) {
        const std::size_t begin = end > ChunkBytes ? end - ChunkBytes : 0;
        // A kernel without it leaves the faults to the decoder.
        if (madvise(start + begin, end - begin, MADV_POPULATE_WRITE) != 0) return;
        end = begin;
    }
}

} // namespace

void faultInAhead(void* address, std::size_t length) {
    if (worker.joinable()) return;
    try {
        worker = std::thread(faultIn, static_cast<char*>(address), length);
    } catch (const std::system_error&) {
        // No thread: the decoder faults every page in itself.
    }
}

void stopFaultingIn() {
    stopping = true;
    if (worker.joinable()) worker.join();
}

} // namespace kamsulo::imaging::decoder
