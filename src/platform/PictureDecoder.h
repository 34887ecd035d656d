#pragma once
// Pictures that the desktop hands over as files (the portal's screenshots) become
// pixels through the decoder that the program sets at start, and through nothing else:
// the platform decodes no foreign picture of its own accord.
#include <QByteArray>
#include <QImage>

namespace kamsulo::platform {

// The picture in `file`, or a null picture when it holds none. `memory`, when not null,
// is ready memory that the picture may take if it has its size and format.
using PictureDecoder = QImage (*)(const QByteArray& file, QImage memory);

void setPictureDecoder(PictureDecoder decoder);

// Format_RGB32; null when the file holds no picture, or no decoder is set.
QImage decodeDesktopPicture(const QByteArray& file, QImage memory = {});

} // namespace kamsulo::platform
