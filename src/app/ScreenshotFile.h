#pragma once
// The desktop's screenshot files (the portal's) as the program decodes them: the common
// PNG that screenshots are with the program's own decoder, into the memory readied for
// it; anything else in the decoder process, as any picture from elsewhere.
#include <QByteArray>
#include <QImage>

namespace kamsulo::app {

// The picture, or a null one when neither decoder takes the file. The decoder that
// main() sets for the platform.
QImage decodeScreenshotFile(const QByteArray& file, QImage memory);

} // namespace kamsulo::app
