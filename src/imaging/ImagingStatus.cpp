#include "imaging/ImagingStatus.h"

#include <array>

namespace kamsulo::imaging {

Q_LOGGING_CATEGORY(lcImaging, "kamsulo.imaging")

QString statusText(int status) {
    static constexpr std::array<const char*, 21> texts = {
        "",
        "Generic Error.",
        "Invalid Parameter.",
        "Out Of Memory.",
        "Object Busy.",
        "Insufficient Buffer.",
        "Not Implemented.",
        "Win32 Error.",
        "Wrong State.",
        "Aborted.",
        "File Not Found.",
        "Value Overflow.",
        "Access Denied.",
        "Unknown Image Format.",
        "FontFamily Not Found.",
        "FontStyle Not Found.",
        "Not TrueType Font.",
        "Unsupported Gdiplus Version.",
        "Gdiplus Not Initialized.",
        "Property Not Found.",
        "Property Not Supported.",
    };
    if (status >= 1 && status <= 20)
        return QString::fromLatin1(texts[static_cast<std::size_t>(status)]);
    return QStringLiteral("Unknown GDI+ Error.");
}

int checkStatus(int status) {
    if (status != Ok) qCDebug(lcImaging) << "imaging status" << status << statusText(status);
    return status;
}

} // namespace kamsulo::imaging
