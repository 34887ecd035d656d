// Draws an enhanced metafile: libemf2svg turns its records into SVG, which
// QSvgRenderer draws.
#pragma once

#include "imaging/load/DecodeResult.h"
#include "imaging/load/MetafileHeader.h"

#include <QByteArray>
#include <QRectF>

namespace kamsulo::imaging {

// Metafiles are drawn on white paper, as on a page.
inline constexpr QRgb MetafilePaper = 0xffffffffu;

// The frame in the SVG's user space: libemf2svg keeps the device pixels of the
// reference device, shifted so that the drawn area starts at (0, 0). Rounded to
// whole device pixels.
QRectF emfFrameInSvg(const EmfHeader& header);

// `file` holds the whole metafile; its frame is drawn at `size` (the caller has
// checked it against the limits). Its bitmaps, its drawing records and the SVG they
// make are held to shares of `limit` bytes: beyond them it is refused for want of
// memory.
DecodeResult renderEmf(const QByteArray& file, const EmfHeader& header, QSize size, qint64 limit);

} // namespace kamsulo::imaging
