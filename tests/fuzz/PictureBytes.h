// Picture content from a few fuzzer bytes: the bytes repeated, noise seeded by
// them, or a gradient that they tilt. Noise gives the many-coloured pictures that
// make the octree reduce, which repeated bytes rarely do.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace kamsulo::fuzz {

enum class Fill : int { Repeat = 0, Noise = 1, Gradient = 2, Count = 3 };

class PictureBytes {
public:
    PictureBytes(Fill fill, const QByteArray& bytes) : fill_(fill), bytes_(bytes) {
        for (const char c : bytes)
            state_ = (state_ ^ std::uint8_t(c)) * 0x100000001b3ull;
    }

    // The byte for offset `at` of row `y`.
    std::uint8_t at(std::size_t at, int y) {
        switch (fill_) {
        case Fill::Repeat:
            if (!bytes_.isEmpty()) return std::uint8_t(bytes_[qsizetype(next_++ % bytes_.size())]);
            break;
        case Fill::Noise:
            state_ ^= state_ << 13;
            state_ ^= state_ >> 7;
            state_ ^= state_ << 17;
            return std::uint8_t(state_ >> 24);
        case Fill::Gradient:
        case Fill::Count:
            break;
        }
        const unsigned tilt = bytes_.isEmpty() ? 1 : std::uint8_t(bytes_[0]) % 7 + 1;
        return std::uint8_t(at * tilt + unsigned(y) * 3);
    }

private:
    Fill fill_;
    QByteArray bytes_;
    std::uint64_t state_ = 0xcbf29ce484222325ull;
    std::size_t next_ = 0;
};

} // namespace kamsulo::fuzz
