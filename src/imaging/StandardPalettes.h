// The fixed palettes of the 1-, 4- and 8-bit indexed conversions and the
// nearest-colour mapping onto them.
//   1 bit:  black, white.
//   4 bits: the sixteen standard colours (black, the eight dark colours, silver,
//           gray and the bright colours, in the usual order).
//   8 bits: the sixteen standard colours, a 6x6x6 colour cube (levels 0, 51, ...,
//           255; index 16 + 36 r + 6 g + b) and 24 grays 8, 18, ..., 238.
// Nearest means the smallest squared distance in RGB; ties go to the lower index.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>
#include <vector>

namespace kamsulo::imaging {

class StandardPalette {
public:
    // bits: 1, 4 or 8.
    explicit StandardPalette(int bits);

    const std::vector<PaletteEntry>& entries() const { return entries_; }
    int bits() const { return bits_; }

    // Index of the nearest entry.
    std::uint8_t nearest(std::uint8_t blue, std::uint8_t green, std::uint8_t red) const;

private:
    std::uint8_t nearestOf(int first, int last, int blue, int green, int red, int& distance) const;

    int bits_;
    std::vector<PaletteEntry> entries_;
};

} // namespace kamsulo::imaging
