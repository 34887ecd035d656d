// Loads an image file for the canvas. The name and the file are checked first,
// the extension picks the decoder branch, the header's size is checked against
// the caller's limit, and only then are pixels decoded. Every failure comes back
// as a German text, never as an exception.
#pragma once

#include "imaging/load/LoadResult.h"
#include "imaging/load/LoadRules.h"

#include <QByteArray>
#include <QSize>
#include <QString>

namespace kamsulo::imaging {

class ImageLoader {
public:
    ImageLoader() = default;
    explicit ImageLoader(const LoaderOptions& options) : options_(options) {}

    // maxSize in pixels: a picture whose header claims more than admits() lets
    // through is refused with tooLarge set, without decoding pixels; an invalid
    // QSize means no limit (but the decode limit's: it refuses for want of memory).
    LoadResult load(const QString& fileName, QSize maxSize = {}) const;

    // The second half of load(): decodes the whole file's `bytes`, whose name passed
    // checkFile() with `branch`.
    LoadResult decode(const QByteArray& bytes, DecoderBranch branch, QSize maxSize = {}) const;

    // Whether a picture of `size` is within maxSize in both directions and within
    // the decode limit; always, when either size is invalid.
    bool admits(QSize size, QSize maxSize) const {
        return admitsSize(size, maxSize, options_.decodeLimitBytes);
    }

private:
    LoadResult decodeChecked(const QByteArray& bytes, DecoderBranch branch, QSize maxSize) const;

    LoaderOptions options_;
};

} // namespace kamsulo::imaging
