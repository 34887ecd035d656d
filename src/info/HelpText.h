#pragma once
#include <QString>

namespace kamsulo::info {

// The advice shown in the info window: the file formats, the palette and the tray
// icon. Paragraphs are separated by an empty line; line breaks are CR LF.
QString helpText();

// "Version: major.minor", without the revision.
QString versionCaption(int major, int minor);

} // namespace kamsulo::info
