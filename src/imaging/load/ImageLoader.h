// Loads an image file for the canvas. The name and the file are checked first,
// the extension picks the decoder branch, the header's size is checked against
// the caller's limit, and only then are pixels decoded. Every failure comes back
// as a German text, never as an exception.
#pragma once

#include "imaging/load/LoadRules.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace kamsulo::imaging {

struct LoadResult {
    QImage picture;    // null when refused or for an empty name; else Format_RGB32
    QString errorText; // empty on success (and for an empty name)
    // The header's size exceeds maxSize: nothing was decoded, and errorText is
    // LoadText::TooLarge, the message the caller shows for it.
    bool tooLarge = false;
};

class ImageLoader {
public:
    ImageLoader() = default;
    explicit ImageLoader(const LoaderOptions& options) : options_(options) {}

    // maxSize in pixels: a picture whose header claims more (in either
    // direction) is refused with tooLarge set, without decoding pixels; an
    // invalid QSize means no limit.
    LoadResult load(const QString& fileName, QSize maxSize = {}) const;

private:
    LoadResult loadChecked(const QString& name, DecoderBranch branch, QSize maxSize) const;

    LoaderOptions options_;
};

} // namespace kamsulo::imaging
