#pragma once
// Drawing the preview controls over the canvas, and the strips of the canvas that an
// overlay covers (so that a change repaints only those).
#include "annotate/Overlay.h"

#include <QRegion>

class QPainter;

namespace kamsulo::annotate {

class CanvasSurface;

// The pixels an overlay may touch when painted; empty when hidden.
QRegion overlayRegion(const Overlay& o, const CanvasSurface& s);
// Paints a visible overlay: a thin dashed outline that shows on light and dark.
void paintOverlay(QPainter& p, const Overlay& o, const CanvasSurface& s);

} // namespace kamsulo::annotate
