#pragma once
// Handing the picture on the clipboard to a paint program: the program is looked
// for in three places in turn and started; once one of its windows has come to the
// front, it is sent the keys that paste the picture and crop the drawing to it. An
// editor that ends before its window comes is not waited for. Where no program may
// type into another (Wayland), the editor opens a file of the picture instead.
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
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

class PaintProgram : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Handed,   // started, and the keys were sent to its window
        NotFound, // found nowhere, or it could not be started
        NoWindow, // started, but no window of it came to the front in time: nothing sent
        Ended,    // started, but it ended before a window of it came to the front
    };

    explicit PaintProgram(PaintEditor editor, QObject* parent = nullptr);

    // Program and arguments from the first location that has the editor; empty
    // when none has.
    QStringList command() const;

    // Starts the editor and sends it the paste and crop keys, but only while a window
    // of the started editor is the active one; handedOver() tells how it went, later.
    // Nothing waits meanwhile: the active window is looked at by a timer, so that the
    // windows repaint and the editor can read the clipboard. Deleting the object
    // withdraws what is left of the hand-over.
    void handOver();
    bool handingOver() const { return stage_ != Stage::Idle; }
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

signals:
    void handedOver(kamsulo::app::PaintProgram::Outcome outcome);

private:
    enum class Stage { Idle, StartPause, WaitingForWindow, BetweenKeys };
    void step();
    void finish(Outcome outcome);
    bool editorInFront() const;
    bool endedWithoutWindow() const;

    PaintEditor editor_;
    Stage stage_ = Stage::Idle;
    QTimer poll_;
    QElapsedTimer sinceStart_;
    QElapsedTimer sinceStage_;
    qint64 pid_ = 0;
    QList<quint64> earlierWindows_;
    const void* keys_ = nullptr; // the editor's key strings
};

} // namespace kamsulo::app
