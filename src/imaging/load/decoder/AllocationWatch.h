// Notes in the answer file when the allocator first refuses memory (the address-space
// limit is reached), so that the program can say so even when the decoder then crashes.
#pragma once

namespace kamsulo::imaging::decoder {

bool memoryExhausted();
void noteExhausted();

} // namespace kamsulo::imaging::decoder
