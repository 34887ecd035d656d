#include "annotate/forms/CanvasToolTip.h"

namespace kamsulo::annotate {

QString canvasToolTip(bool pannable, int undoReadSlot, const QString& current) {
    if (undoReadSlot < 0) return current;
    const bool markings = undoReadSlot > 0;
    if (pannable) {
        return markings ? QStringLiteral("Doppelklick: Alle eingezeichneten Markierungen löschen;  "
                                         "Shift+Linke Maustaste -> Bild verschieben")
                        : QStringLiteral("Shift+Linke Maustaste -> Bild verschieben");
    }
    return markings ? QStringLiteral("Doppelklick: Alle eingezeichneten Markierungen löschen")
                    : QString();
}

} // namespace kamsulo::annotate
