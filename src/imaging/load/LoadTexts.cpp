#include "imaging/load/LoadTexts.h"

#include <array>

namespace kamsulo::imaging {

QString loaderStatusText(int status) {
    static constexpr std::array<const char16_t*, 21> texts = {
        u"",
        u"fehlerhafte Initialisierung",
        u"Ungeeigneter Parameter",
        u"Speichermangel",
        u"GDIPlus ist noch beschäftigt",
        u"Buffer zu klein",
        u"",
        u"Windows32-Fehler",
        u"Falscher interner Zustand",
        u"Abbruch der Operation",
        u"Datei nicht gefunden",
        u"Wert-Überlauf",
        u"Zugriff verweigert",
        u"unbekanntes Bildformat",
        u"",
        u"",
        u"",
        u"GDIPlus-Version wird nicht unterstützt",
        u"Keine GDIPlus-Verbindung",
        u"Eigenschaft nicht gefunden",
        u"Eigenschaft wird nicht unterstützt",
    };
    if (status < 1 || status >= static_cast<int>(texts.size())) return {};
    return QString::fromUtf16(texts[static_cast<std::size_t>(status)]);
}

QString withStatusText(const QString& message, int status) {
    return message + QStringLiteral("\r\n") + loaderStatusText(status);
}

QString decodeFailureText(DecoderBranch branch, int status) {
    if (branch == DecoderBranch::PlatformPictureLoader)
        return QString::fromUtf16(LoadText::PictureLoaderFailed);
    return withStatusText(QString::fromUtf16(LoadText::CannotReadFile), status);
}

} // namespace kamsulo::imaging
