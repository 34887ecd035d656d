#include "app/PaintProgram.h"
#include "app/HandOverFolder.h"
#include "keys/SendKeyString.h"
#include "platform/ActiveWindow.h"
#include "platform/DesktopServices.h"
#include "platform/KeyInjector.h"
#include "platform/ProcessState.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QProcess>
#include <QStandardPaths>

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

} // namespace

PaintEditor kolourPaint() {
    return {QStringLiteral("/usr/bin/kolourpaint"),
            QStringLiteral("/var/lib/flatpak/exports/bin/org.kde.kolourpaint"),
            QStringLiteral("org.kde.kolourpaint.desktop"), QStringLiteral("kolourpaint")};
}

PaintProgram::PaintProgram(PaintEditor editor, QObject* parent)
    : QObject(parent), editor_(std::move(editor)) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &PaintProgram::step);
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

void PaintProgram::handOver() {
    if (handingOver()) return;
    const EditorKeys* keys = keysFor(editor_.windowClass);
    const QStringList cmd = command();
    earlierWindows_ = platform::managedWindows();
    pid_ = 0;
    if (!keys || cmd.isEmpty() ||
        !QProcess::startDetached(cmd.first(), cmd.mid(1), QString(), &pid_)) {
        // Told on the next turn, as every outcome is.
        QMetaObject::invokeMethod(
            this, [this] { emit handedOver(Outcome::NotFound); }, Qt::QueuedConnection);
        return;
    }
    keys_ = keys;
    sinceStart_.start();
    sinceStage_.start();
    stage_ = Stage::StartPause;
    poll_.start(kPollMs);
}

// The started process's own window, or, for an editor that hands over to another
// process, a new window of its class; an editor window that was open before the start
// (someone's work) never counts.
bool PaintProgram::editorInFront() const {
    const auto active = platform::activeWindow();
    if (!active) return false;
    if (pid_ != 0 && active->pid == pid_) return true;
    const bool sameClass =
        active->className.compare(editor_.windowClass, Qt::CaseInsensitive) == 0 ||
        active->instanceName.compare(editor_.windowClass, Qt::CaseInsensitive) == 0;
    return sameClass && !earlierWindows_.contains(active->window);
}

// The editor may end before it shows a window (a wrapper that fails, a crash): then
// there is nothing to wait for. A wrapper that handed over to another process and ended
// has its window found all the same if it is already in front.
bool PaintProgram::endedWithoutWindow() const {
    return pid_ != 0 && !platform::processRunning(pid_) && !editorInFront();
}

void PaintProgram::step() {
    const auto* keys = static_cast<const EditorKeys*>(keys_);
    switch (stage_) {
    case Stage::Idle:
        return;
    case Stage::StartPause:
        // The editor gets a moment to open its window before anything is sent to it,
        // unless it has ended.
        if (sinceStage_.elapsed() < kStartPauseMs && !endedWithoutWindow()) return;
        stage_ = Stage::WaitingForWindow;
        [[fallthrough]];
    case Stage::WaitingForWindow:
        if (!editorInFront()) {
            if (endedWithoutWindow()) return finish(Outcome::Ended);
            if (sinceStart_.elapsed() >= kWindowWaitMs) return finish(Outcome::NoWindow);
            return;
        }
        keys::sendKeyString(QLatin1String(keys->paste), platform::keyInjector());
        stage_ = Stage::BetweenKeys;
        sinceStage_.start();
        poll_.start(kBetweenKeysMs);
        return;
    case Stage::BetweenKeys:
        if (sinceStage_.elapsed() < kBetweenKeysMs) return;
        // Someone may have brought another window to the front meanwhile: the crop is
        // not for that one. The picture is in the editor all the same.
        if (editorInFront())
            keys::sendKeyString(QLatin1String(keys->crop), platform::keyInjector());
        return finish(Outcome::Handed);
    }
}

void PaintProgram::finish(Outcome outcome) {
    poll_.stop();
    stage_ = Stage::Idle;
    emit handedOver(outcome);
}

} // namespace kamsulo::app
