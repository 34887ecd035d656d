// PNG decoding for the pictures that screenshots are: 8 bits a channel, RGB or RGBA,
// not interlaced. The whole compressed stream is inflated in one go and each row is
// unfiltered straight into the picture, several times faster than a general reader.
// Anything else, and any file that is not in perfect order, is left to Qt's reader,
// which then says what it says about it.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <functional>
#include <optional>

namespace kamsulo::imaging {

// The picture memory of a size and format, as the caller wants it (null: refused).
using PictureMemory = std::function<QImage(QSize, QImage::Format)>;

// The picture as Qt's PNG reader gives it (RGB32, or ARGB32 for RGBA), or nothing when
// this file is one for Qt's reader. `memory` may be empty: the picture is then a new one.
std::optional<QImage> decodeCommonPng(QByteArrayView file, const PictureMemory& memory);

} // namespace kamsulo::imaging
