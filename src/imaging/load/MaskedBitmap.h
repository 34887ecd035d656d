// Bitmaps whose pixels are bit fields: 16 bits of 5-5-5 or masks, 32 bits of masks.
// Qt's reader scales a channel by 256 / 2^width, so that five bits of white come out as
// 248, a channel of more than eight bits as 0 and one bit of alpha as 128; here each
// channel widens by repeating its high bits (31 -> 255), or keeps its high eight.
#pragma once

#include "imaging/load/DecodeResult.h"
#include "imaging/load/PngDecoder.h"

#include <QByteArrayView>
#include <QSize>
#include <optional>

namespace kamsulo::imaging {

// The picture (RGB32, or ARGB32 with an alpha mask) of a bitmap of bit fields whose
// header says `size`; a failure when the masks cannot be honoured (empty, overlapping,
// gapped, or beyond the pixel) or the rows pass the file's end; nothing when the file is
// no such bitmap, and so Qt's reader's.
std::optional<DecodeResult> decodeMaskedBitmap(QByteArrayView file, QSize size,
                                               const PictureMemory& memory);

} // namespace kamsulo::imaging
