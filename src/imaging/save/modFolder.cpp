#include "imaging/save/modFolder.h"

#include "platform/DesktopServices.h"

namespace kamsulo::imaging {

QString SpecialFolderPath(int csidl) {
    if (csidl != CSIDL_DESKTOP) return {};
    return platform::desktopServices().desktopFolder();
}

} // namespace kamsulo::imaging
