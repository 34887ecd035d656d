#pragma once
// Paths of the user's special folders.
#include <QString>

namespace kamsulo::imaging {

enum Csidl { CSIDL_DESKTOP = 0 };

// The folder's path without a trailing "/", or "" for a folder this program does
// not know. CSIDL_DESKTOP is the user's desktop folder, or the home folder when
// there is none.
QString SpecialFolderPath(int csidl);

} // namespace kamsulo::imaging
