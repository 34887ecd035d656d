#include "app/PaintProgram.h"
#include "app/HandOverFolder.h"
#include "keys/SendKeyString.h"
#include "platform/ActiveWindow.h"
#include "platform/DesktopServices.h"
#include "platform/KeyInjector.h"
#include "platform/ProcessState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <iterator>

namespace kamsulo::app {

namespace {

// The key strings per editor, by the class of its windows.
struct EditorKeys {
    const char* windowClass;
    const char* paste;
    const char* crop; // crops the drawing to the selection, which is the pasted picture
};

constexpr EditorKeys kEditorKeys[] = {
    // KolourPaint grows a fresh canvas to a larger pasted picture without asking;
    // its "Set as Image (Crop)" then makes the picture exactly the selection's size.
    {"kolourpaint", "^v", "^t"},
};

// The editor gets this long to open its window before anything is sent to it ...
constexpr int kStartPauseMs = 1000;
// ... and at most this long, counted from its start, to bring a window to the front.
constexpr qint64 kWindowWaitMs = 10000;
// Between the paste and the crop.
constexpr int kBetweenKeysMs = 100;
// How often the active window is looked at while waiting for it.
constexpr int kPollMs = 50;

const EditorKeys* keysFor(const QString& windowClass) {
    for (const EditorKeys& keys : kEditorKeys)
        if (windowClass.compare(QLatin1String(keys.windowClass), Qt::CaseInsensitive) == 0)
            return &keys;
    return nullptr;
}

// Lets the event loop run for a while: the windows repaint and the editor can read
// the clipboard; user input waits until afterwards, so no second press starts here.
void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

enum class Wait { Done, GaveUp, TimedOut };

Wait waitUntil(const std::function<bool()>& done, const std::function<bool()>& giveUp,
               qint64 timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (giveUp()) return Wait::GaveUp;
        if (clock.elapsed() >= timeoutMs) return Wait::TimedOut;
        pause(kPollMs);
    }
    return Wait::Done;
}

// Sleeps in steps, ending early once `giveUp` holds.
void pauseUnless(int ms, const std::function<bool()>& giveUp) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !giveUp())
        pause(int(std::min<qint64>(kPollMs, ms - clock.elapsed())));
}

} // namespace

PaintEditor kolourPaint() {
    return {QStringLiteral("/usr/bin/kolourpaint"),
            QStringLiteral("/var/lib/flatpak/exports/bin/org.kde.kolourpaint"),
            QStringLiteral("org.kde.kolourpaint.desktop"), QStringLiteral("kolourpaint")};
}

PaintEditor& PaintProgram::buttonEditor() {
    static PaintEditor editor = kolourPaint();
    return editor;
}

QStringList PaintProgram::command() const {
    for (const QString& path : {editor_.distributionPath, editor_.fixedPath})
        if (!path.isEmpty() && QFileInfo::exists(path)) return {path};
    if (editor_.desktopEntryId.isEmpty()) return {};
    return platform::commandWithoutFieldCodes(platform::desktopServices().readDesktopEntryValue(
        editor_.desktopEntryId, QStringLiteral("Exec")));
}

PaintProgram::Outcome PaintProgram::startEmpty() {
    const QStringList cmd = command();
    if (cmd.isEmpty() || !QProcess::startDetached(cmd.first(), cmd.mid(1)))
        return Outcome::NotFound;
    return Outcome::Handed;
}

QString PaintProgram::handOverFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/malprogramm");
}

PaintProgram::Outcome PaintProgram::handOverFile(const QImage& picture,
                                                 const QDateTime& capturedAt) {
    const QStringList cmd = command();
    if (cmd.isEmpty()) return Outcome::NotFound;
    // Only the user may read the pictures: they may show anything that was on screen.
    const QString folder = handOverFolder();
    if (!preparePrivateFolder(folder)) return Outcome::NotFound;
    removeOldPictures(folder, QDateTime::currentDateTime());
    const QString stem = folder + QStringLiteral("/Bildschirmfoto ") +
                         capturedAt.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    // A file an editor may still hold is never written over.
    QString file = stem + QStringLiteral(".png");
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = stem + QStringLiteral(" (%1).png").arg(n);
    if (!writeHandOverPicture(picture, file)) return Outcome::NotFound;
    if (!QProcess::startDetached(cmd.first(), cmd.mid(1) << file)) return Outcome::NotFound;
    return Outcome::Handed;
}

PaintProgram::Outcome PaintProgram::handOver() {
    const EditorKeys* keys = keysFor(editor_.windowClass);
    const QStringList cmd = command();
    if (!keys || cmd.isEmpty()) return Outcome::NotFound;

    const QList<quint64> earlierWindows = platform::managedWindows();
    qint64 pid = 0;
    if (!QProcess::startDetached(cmd.first(), cmd.mid(1), QString(), &pid))
        return Outcome::NotFound;
    QElapsedTimer sinceStart;
    sinceStart.start();

    // The started process's own window, or, for an editor that hands over to another
    // process, a new window of its class; an editor window that was open before the
    // start (someone's work) never counts.
    const auto editorInFront = [&] {
        const auto active = platform::activeWindow();
        if (!active) return false;
        if (pid != 0 && active->pid == pid) return true;
        const bool sameClass =
            active->className.compare(editor_.windowClass, Qt::CaseInsensitive) == 0 ||
            active->instanceName.compare(editor_.windowClass, Qt::CaseInsensitive) == 0;
        return sameClass && !earlierWindows.contains(active->window);
    };
    // The editor may end before it shows a window (a wrapper that fails, a crash):
    // then there is nothing to wait for. A wrapper that handed over to another process
    // and ended has its window found all the same if it is already in front.
    const auto ended = [&] { return pid != 0 && !platform::processRunning(pid); };
    const auto endedWithoutWindow = [&] { return ended() && !editorInFront(); };
    pauseUnless(kStartPauseMs, endedWithoutWindow);
    switch (waitUntil(editorInFront, endedWithoutWindow, kWindowWaitMs - sinceStart.elapsed())) {
    case Wait::Done:
        break;
    case Wait::GaveUp:
        return Outcome::Ended;
    case Wait::TimedOut:
        return Outcome::NoWindow;
    }

    platform::KeyInjector& injector = platform::keyInjector();
    keys::sendKeyString(QLatin1String(keys->paste), injector);
    pause(kBetweenKeysMs);
    // Someone may have brought another window to the front meanwhile: the crop is not
    // for that one. The picture is in the editor all the same.
    if (editorInFront()) keys::sendKeyString(QLatin1String(keys->crop), injector);
    return Outcome::Handed;
}

} // namespace kamsulo::app
