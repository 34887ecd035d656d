#pragma once
#include <QString>

namespace kamsulo::imaging {

// The user's desktop folder without a trailing "/", or the home folder when there
// is none.
QString desktopFolder();

} // namespace kamsulo::imaging
