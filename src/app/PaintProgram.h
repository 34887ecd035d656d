#pragma once
// Handing the picture on the clipboard to a paint program: the program is looked
// for in three places in turn and started; once one of its windows has come to the
// front, it is sent the keys that paste the picture and crop the drawing to it. An
// editor that ends before its window comes is not waited for. Where no program may
// type into another (Wayland), the editor opens a file of the picture instead.
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <utility>

namespace kamsulo::app {

// Where an editor is looked for, in this order, and how its windows are known.
struct PaintEditor {
    QString distributionPath; // where the distribution's package puts it
    QString fixedPath;        // a second fixed place: the system-wide flatpak export
    QString desktopEntryId;   // its desktop entry, whose Exec line is the last resort
    QString windowClass;      // the class of its windows; also picks its key strings
};

// KolourPaint, the editor the MsPaint button hands to.
PaintEditor kolourPaint();

class PaintProgram {
public:
    enum class Outcome {
        Handed,   // started, and the keys were sent to its window
        NotFound, // found nowhere, or it could not be started
        NoWindow, // started, but no window of it came to the front in time: nothing sent
        Ended,    // started, but it ended before a window of it came to the front
    };

    explicit PaintProgram(PaintEditor editor) : editor_(std::move(editor)) {}

    // Program and arguments from the first location that has the editor; empty
    // when none has.
    QStringList command() const;

    // Starts the editor and sends it the paste and crop keys, but only while a window
    // of the started editor is the active one. Waits for it with the event loop
    // running, so that the windows repaint and the clipboard can be read; user input
    // is held back until the hand-over is done.
    Outcome handOver();
    // Only starts the editor, with nothing to paste: for when there is no picture.
    Outcome startEmpty();
    // Where no keys reach the editor: writes the picture to a PNG in a private folder
    // of the program's cache, named by the time of its capture, and starts the editor
    // with that file.
    Outcome handOverFile(const QImage& picture, const QDateTime& capturedAt);
    // The private folder those files go to.
    static QString handOverFolder();

    // The editor that the MsPaint button uses; a test may point its locations
    // elsewhere to withhold the editor.
    static PaintEditor& buttonEditor();

private:
    PaintEditor editor_;
};

} // namespace kamsulo::app
