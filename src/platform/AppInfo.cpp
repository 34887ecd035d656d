#include "platform/AppInfo.h"

namespace kamsulo::platform {

int AppInfo::major() {
    return KAMSULO_VERSION_MAJOR;
}
int AppInfo::minor() {
    return KAMSULO_VERSION_MINOR;
}
int AppInfo::revision() {
    return KAMSULO_VERSION_PATCH;
}
QString AppInfo::versionText() {
    return QStringLiteral("%1.%2.%3").arg(major()).arg(minor()).arg(revision());
}

} // namespace kamsulo::platform
