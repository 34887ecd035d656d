// Draws a placeable Windows metafile with libwmf.
#pragma once

#include "imaging/load/DecodeResult.h"
#include "imaging/load/MetafileHeader.h"

#include <QByteArray>
#include <QRectF>

namespace kamsulo::imaging {

// The part of the metafile's logical space that fills the picture: the window
// the metafile sets for itself (its first SetWindowOrg and SetWindowExt), else
// the placeable box.
QRectF wmfWindow(const QByteArray& file, const PlaceableWmfHeader& header);

// The pixels of the largest bitmap that the metafile's records carry, by the
// bitmap headers in them: libwmf makes room for a bitmap by its header, however
// few bytes the record holds.
qint64 largestWmfBitmap(const QByteArray& file);

// Makes libwmf's state for the next picture now (it reads its font map then), for a
// process that opens no files by the time it draws.
void prepareWmfRenderer();

// `file` holds the whole metafile; `size` is where its window is drawn (the
// caller has checked it against the limits). No single allocation of libwmf's may
// take more than `allocationLimit` bytes.
DecodeResult renderPlaceableWmf(const QByteArray& file, const PlaceableWmfHeader& header,
                                QSize size, qint64 allocationLimit);

} // namespace kamsulo::imaging
