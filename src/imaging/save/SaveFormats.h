#pragma once
// What the save dialog decides without a window: the file types it offers, where
// the file dialog starts, the path it writes, and the texts it shows.
#include <QString>
#include <optional>

namespace kamsulo::imaging {

// The file types of the save dialog, in the order of its buttons.
enum class SaveType : int { Bmp = 0, Png = 1, Gif = 2, Jpg = 3 };
inline constexpr int saveTypeCount = 4;

// The JPEG quality in percent that a save starts with.
inline constexpr int defaultJpegQuality = 85;

struct SaveFormat {
    QString caption;     // "BMP", "PNG", "GIF", "JPG - Qualität:"
    QString defaultName; // "Screen.bmp" ...
    QString filter;      // "BMP-Datei (*.bmp)|*.bmp" ...
    QString defaultExt;  // "*.bmp" ...
};

// The button caption, proposed name and file-dialog filter of a type; those of PNG
// for a value outside the enum.
const SaveFormat& saveFormat(SaveType type);

// The file type that a name's extension asks for (.bmp, .png, .gif, .jpg or .jpeg, in
// any letter case); none for any other name.
std::optional<SaveType> saveTypeForName(const QString& name);

// The folder the file dialog starts in: the last save folder, else the desktop.
QString startFolder(const QString& lastSaveFolder, const QString& desktopFolder);

// "dir" -> "dir/"; "dir/" and "" stay as they are.
QString withTrailingSlash(const QString& folder);

// The full path of the chosen file: folder (a "/" added when missing) + name.
QString savePath(const QString& folder, const QString& fileName);

// "85 %"
QString qualityCaption(int quality);

// The question after a successful save.
QString confirmationText(const QString& path);

// The message after a failed save; `reason` says why (may be empty).
QString saveFailedText(const QString& path, const QString& reason);

} // namespace kamsulo::imaging
