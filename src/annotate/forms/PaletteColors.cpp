#include "annotate/forms/PaletteColors.h"

namespace kamsulo::annotate {

std::vector<PaletteCell> stripPaletteCells() {
    static constexpr quint32 colors[2][8] = {
        {0x00000000, 0x00800000, 0x00008000, 0x00FFCECE, 0x00DDFFBB, 0x00CECEFF, 0x00A6FFFF,
         0x00A0CEFC},
        {0x00808080, 0x00FF0000, 0x0000FF00, 0x00FFFF00, 0x000000FF, 0x00FF00FF, 0x0000FFFF,
         0x00FFFFFF},
    };
    constexpr double cell = 160;
    std::vector<PaletteCell> cells;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 8; ++c)
            cells.push_back({QRectF(cell * c, cell * r, cell, cell), colors[r][c]});
    return cells;
}

std::vector<PaletteCell> textDialogPaletteCells() {
    static constexpr quint32 colors[16] = {
        0x00000000, 0x00800000, 0x00008000, 0x00808000, 0x00000080, 0x00800080,
        0x00008080, 0x00C0C0C0, 0x00808080, 0x00FF0000, 0x0000FF00, 0x00FFFF00,
        0x000000FF, 0x00FF00FF, 0x0000FFFF, 0x00FFFFFF,
    };
    constexpr double w = 330, h = 150;
    std::vector<PaletteCell> cells;
    for (int n = 0; n < 16; ++n)
        cells.push_back({QRectF(w * (n % 2), h * (n / 2), w, h), colors[n]});
    return cells;
}

} // namespace kamsulo::annotate
