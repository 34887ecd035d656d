// The answer's pages, faulted in on a second thread while the decoder fills them: a
// page fault of shared memory costs about as much as decoding the page's pixels, and so
// two cores share that work.
#pragma once

#include <cstddef>

namespace kamsulo::imaging::decoder {

// Starts faulting in [address, address + length) for writing, from its end on; the
// decoder meanwhile faults in the pages it reaches first. `address` is page-aligned.
void faultInAhead(void* address, std::size_t length);
// Stops that thread and waits for it.
void stopFaultingIn();

} // namespace kamsulo::imaging::decoder
