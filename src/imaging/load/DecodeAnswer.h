// What the decoder process hands back in its answer file (a memfd): this header at
// its start, the loader's text after it, and the picture's rows from a page boundary
// on, so that the program maps them as they are.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kamsulo::imaging {

// The descriptors the decoder process finds open: the file's bytes, its answer, and a
// pipe it writes one byte to once the answer is complete (the program reads the answer
// then, without waiting for the process to end).
inline constexpr int DecoderInputFd = 3;
inline constexpr int DecoderAnswerFd = 4;
inline constexpr int DecoderDoneFd = 5;

// What the decoder is asked, on its command line.
struct DecodeRequest {
    std::int64_t branch = 0;
    std::int64_t maxWidth = -1; // -1: no limit
    std::int64_t maxHeight = -1;
    std::int64_t decodeLimitBytes = 0;
    std::int64_t timeoutMs = 0;
    std::int64_t drawing = 0; // likely a metafile: fonts are loaded ahead
    // 0: the picture's format needs no plugin of Qt's (its PNG and BMP readers are built
    // in), whose loading costs a few milliseconds.
    std::int64_t qtReaders = 1;
};

enum class DecodeOutcome : std::int32_t { Picture = 1, Refused = 2, TooLarge = 3 };

struct DecodeAnswer {
    static constexpr std::uint32_t Complete = 0x4b414d31; // written last
    std::uint32_t complete = 0;
    // Set by the allocator when it refused memory, even if the decoder then crashed.
    std::uint32_t memoryExhausted = 0;
    DecodeOutcome outcome = DecodeOutcome::Refused;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bytesPerLine = 0;
    std::uint32_t textUnits = 0; // UTF-16 code units right after this header
    std::uint32_t reserved = 0;
    std::uint64_t pixelsAt = 0; // a multiple of the page size
};

// The loader's texts are short; anything longer is no answer of ours.
inline constexpr std::uint32_t LongestAnswerText = 1024;
inline constexpr std::size_t AnswerPixelsAlign = 65536; // any page size up to 64 KiB

} // namespace kamsulo::imaging
