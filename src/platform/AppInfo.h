#pragma once
#include <QString>

namespace kamsulo::platform {

// The program's name as the user sees it, its executable and its version.
struct AppInfo {
    static QString title() { return QStringLiteral("Kamsulo"); }
    static QString exeName() { return QStringLiteral("kamsulo"); }
    static int major();
    static int minor();
    static int revision();
    static QString versionText(); // "major.minor.revision"
};

} // namespace kamsulo::platform
