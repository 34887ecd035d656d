// PNGs of 16-bit RGB samples with a colour key (a tRNS chunk). Qt's reader gives them
// 64-bit pixels but lets libpng write three samples a pixel into them, so that every
// row comes out scrambled and the key is lost. Decoded here with libpng itself.
#pragma once

#include "imaging/load/DecodeResult.h"
#include "imaging/load/PngDecoder.h"

#include <QByteArrayView>
#include <QSize>
#include <optional>

namespace kamsulo::imaging {

// The picture (ARGB32: the key's pixels transparent, the others opaque, each sample
// rounded to eight bits as Qt rounds them) of such a PNG whose header says `size`; a
// failure when libpng finds it damaged; nothing when the file is no such PNG, and so Qt's
// reader's.
std::optional<DecodeResult> decodeKeyedPng(QByteArrayView file, QSize size,
                                           const PictureMemory& memory);

} // namespace kamsulo::imaging
