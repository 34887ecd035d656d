#pragma once
// Pictures that the desktop hands over as files (the portal's screenshots) become
// pixels through the decoder that the program sets at start; through Qt's reader where
// it has none, or where it leaves the file alone.
#include <QByteArray>
#include <QImage>

namespace kamsulo::platform {

// The picture in `file`, or a null picture for Qt's reader to try. `memory`, when not
// null, is ready memory that the picture may take if it has its size and format.
using PictureDecoder = QImage (*)(const QByteArray& file, QImage memory);

void setPictureDecoder(PictureDecoder decoder);

// Format_RGB32; null when the file holds no picture.
QImage decodeDesktopPicture(const QByteArray& file, QImage memory = {});

} // namespace kamsulo::platform
