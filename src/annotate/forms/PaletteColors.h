#pragma once
// The colour cells of the two palettes: the grid on the palette strip (two rows of
// eight) and the sixteen standard colours of the text dialog (two columns of eight).
#include <QRectF>
#include <QtGlobal>
#include <vector>

namespace kamsulo::annotate {

struct PaletteCell {
    QRectF twips; // inside the palette box
    quint32 bgr;
};

std::vector<PaletteCell> stripPaletteCells();
std::vector<PaletteCell> textDialogPaletteCells();

} // namespace kamsulo::annotate
