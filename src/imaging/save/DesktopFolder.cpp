#include "imaging/save/DesktopFolder.h"

#include "platform/DesktopServices.h"

namespace kamsulo::imaging {

QString desktopFolder() {
    return platform::desktopServices().desktopFolder();
}

} // namespace kamsulo::imaging
