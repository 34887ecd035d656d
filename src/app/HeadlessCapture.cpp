#include "app/HeadlessCapture.h"

#include "capture/ScreenCapture.h"
#include "capture/region/RegionOverlay.h"
#include "imaging/ImageWriter.h"
#include "imaging/save/PictureWriter.h"
#include "imaging/save/SaveFormats.h"
#include "platform/ScreenGrabber.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>
#include <cstdio>

namespace kamsulo::app {

namespace {

enum ExitStatus { Written = 0, NotWritten = 1 };

} // namespace

HeadlessCapture::HeadlessCapture(CommandLine::Capture what, QString output, int delayMs)
    : what_(what), output_(std::move(output)), delayMs_(delayMs) {
    // The overlay is the only window: its closing must not end the program before the
    // file is written.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void HeadlessCapture::start() {
    // What can be known before the capture is checked first: nobody drags a region
    // for a file that cannot be written.
    if (!imaging::saveTypeForName(output_))
        return fail(QStringLiteral("Die Endung von %1 ist keine der Bilddateien .png, .jpg, "
                                   ".gif oder .bmp.")
                        .arg(output_));
    const QFileInfo folder(QFileInfo(output_).absolutePath());
    if (!folder.isDir())
        return fail(QStringLiteral("Den Ordner %1 gibt es nicht.").arg(folder.filePath()));
    if (!folder.isWritable())
        return fail(QStringLiteral("In den Ordner %1 darf nicht geschrieben werden.")
                        .arg(folder.filePath()));
    QTimer::singleShot(delayMs_, this, &HeadlessCapture::capture);
}

void HeadlessCapture::capture() {
    platform::ScreenGrabber& grabber = platform::screenGrabber();
    platform::GrabAnswer answer;
    switch (what_) {
    case CommandLine::Capture::Region:
        capture::RegionOverlay::showOverlay(*this);
        return; // the overlay's release comes back through showMainWindowNormal()
    case CommandLine::Capture::Window:
        answer = capture::ScreenCapture(nullptr, grabber).captureActiveWindow();
        break;
    case CommandLine::Capture::Screen:
    case CommandLine::Capture::None:
        answer = capture::ScreenCapture(nullptr, grabber).captureScreen();
        break;
    }
    picture_ = answer.picture;
    failure_ = answer.failure;
    write();
}

void HeadlessCapture::showMainWindowNormal() {
    // The overlay is still on screen and closes after this call returns.
    QTimer::singleShot(0, this, &HeadlessCapture::write);
}

void HeadlessCapture::write() {
    if (picture_.isNull()) {
        // The desktop's reason, such as a refused permission, when it gave one.
        return fail(failure_.isEmpty() ? QStringLiteral("Es wurde nichts aufgenommen.") : failure_);
    }
    imaging::ImageWriter writer;
    const imaging::SaveResult saved = imaging::writePicture(
        writer, picture_, output_, *imaging::saveTypeForName(output_), imaging::defaultJpegQuality);
    if (!saved.ok)
        return fail(QStringLiteral("%1 ließ sich nicht schreiben: %2").arg(output_, saved.reason));
    QCoreApplication::exit(Written);
}

void HeadlessCapture::fail(const QString& reason) {
    std::fputs(QStringLiteral("kamsulo: %1\n").arg(reason).toLocal8Bit().constData(), stderr);
    // Once the event loop runs: start() is called before it does.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(NotWritten); });
}

} // namespace kamsulo::app
