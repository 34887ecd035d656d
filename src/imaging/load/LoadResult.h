// What loading a picture gives its caller: the picture, or the German text why not.
#pragma once

#include <QImage>
#include <QString>

namespace kamsulo::imaging {

struct LoadResult {
    QImage picture;    // null when refused or for an empty name; else Format_RGB32
    QString errorText; // empty on success (and for an empty name)
    // The header's size is beyond what admits() lets through: nothing was decoded, and
    // errorText is LoadText::TooLarge, the message the caller shows for it.
    bool tooLarge = false;
    // The decoder process crashed, was killed, broke a limit or did not answer in time;
    // errorText says which.
    bool decoderFault = false;
};

} // namespace kamsulo::imaging
