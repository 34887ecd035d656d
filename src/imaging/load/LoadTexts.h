// The loader's German messages and its German texts of the imaging status
// numbers.
#pragma once

#include <QString>

namespace kamsulo::imaging {

namespace LoadText {
inline constexpr char16_t BadFileName[] = u"Ungeeigneter Dateiname";
inline constexpr char16_t FileMissing[] = u"Datei nicht vorhanden/verfügbar";
inline constexpr char16_t EmptyFile[] = u"Leere Datei";
inline constexpr char16_t UnsupportedFormat[] = u"Bildformat wird nicht unterstützt";
inline constexpr char16_t PictureLoaderFailed[] = u"Laden des Bildes scheitert (Loadpicture)";
inline constexpr char16_t CannotReadFile[] = u"Bitmap kann nicht aus Bild-Datei erstellt werden";
inline constexpr char16_t CannotMakeHandle[] = u"Bitmap-Handle kann nicht erzeugt werden";
inline constexpr char16_t TooLarge[] =
    u"Die ScreenShotDatei ist zu gross! Die Datei kann nicht geladen werden.";
} // namespace LoadText

// The German text of a status number; empty for the numbers without one (6,
// 14 to 16) and for any number outside 1 to 20.
QString loaderStatusText(int status);

// `message`, a CR LF, and the status text (so an empty second line when the
// status has no text).
QString withStatusText(const QString& message, int status);

} // namespace kamsulo::imaging
