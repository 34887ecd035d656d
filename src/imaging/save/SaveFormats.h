#pragma once
// What the save dialog decides without a window: the file types it offers, where
// the file dialog starts, the path it writes, and the texts it shows.
#include <QString>

namespace kamsulo::imaging {

// The indexes of the type buttons Option1(0) to Option1(3).
enum SaveOption { OptionBMP = 0, OptionPNG = 1, OptionGIF = 2, OptionJPG = 3 };

struct SaveFormat {
    QString caption;     // "BMP", "PNG", "GIF", "JPG - Qualität:"
    QString defaultName; // "Screen.bmp" ...
    QString filter;      // "BMP-Datei (*.bmp)|*.bmp" ...
    QString defaultExt;  // "*.bmp" ...
};

// The type of a button index; PNG for an index out of range.
const SaveFormat& saveFormat(int option);

// The folder the file dialog starts in: the last save folder, else the desktop.
QString startFolder(const QString& lastSaveFolder, const QString& desktopFolder);

// The full path of the chosen file: folder (a "/" added when missing) + name.
QString savePath(const QString& folder, const QString& fileName);

// "85 %"
QString qualityCaption(int quality);

// The question after a successful save.
QString confirmationText(const QString& path);

// The message after a failed save; `reason` says why (may be empty).
QString saveFailedText(const QString& path, const QString& reason);

} // namespace kamsulo::imaging
