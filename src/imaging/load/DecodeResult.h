#pragma once

#include "imaging/ImagingStatus.h"

#include <QImage>

namespace kamsulo::imaging {

// A decoded picture, or the imaging status that says why there is none.
struct DecodeResult {
    QImage image;
    int status = Ok;

    static DecodeResult failed(int why) { return {QImage(), why}; }
};

} // namespace kamsulo::imaging
