// The loader's German messages and its German texts of the imaging status
// numbers.
#pragma once

#include "imaging/load/LoadRules.h"

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
// The decoder process crashed, was killed, or broke one of its limits.
inline constexpr char16_t DecoderFailed[] =
    u"Das Bild konnte nicht gelesen werden: der Bildleser wurde abgebrochen.";
// The decoder process is not where it belongs, or could not be started.
inline constexpr char16_t DecoderMissing[] =
    u"Der Bildleser kamsulo-decode fehlt oder kann nicht gestartet werden.";
// The decoder process did not answer in time and was ended.
inline constexpr char16_t DecoderTimedOut[] =
    u"Das Laden des Bildes hat zu lange gedauert und wurde abgebrochen.";
} // namespace LoadText

// The German text of a status number; empty for the numbers without one (6,
// 14 to 16) and for any number outside 1 to 20.
QString loaderStatusText(int status);

// `message`, a CR LF, and the status text (so an empty second line when the
// status has no text).
QString withStatusText(const QString& message, int status);

// Why a branch could not decode: the platform loader says only that it failed, the
// imaging library adds the status text.
QString decodeFailureText(DecoderBranch branch, int status);

} // namespace kamsulo::imaging
