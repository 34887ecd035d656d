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
    // The header's size is beyond what admits() lets through: nothing was decoded, and
    // errorText is LoadText::TooLarge, the message the caller shows for it.
    bool tooLarge = false;
};

class ImageLoader {
public:
    ImageLoader() = default;
    explicit ImageLoader(const LoaderOptions& options) : options_(options) {}

    // maxSize in pixels: a picture whose header claims more than admits() lets
    // through is refused with tooLarge set, without decoding pixels; an invalid
    // QSize means no limit (but the decode limit's: it refuses for want of memory).
    LoadResult load(const QString& fileName, QSize maxSize = {}) const;

    // Whether a picture of `size` is within maxSize in both directions and within
    // the decode limit; always, when either size is invalid.
    bool admits(QSize size, QSize maxSize) const;

private:
    LoadResult loadChecked(const QString& name, DecoderBranch branch, QSize maxSize) const;

    LoaderOptions options_;
};

} // namespace kamsulo::imaging
