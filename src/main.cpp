// Kamsulo: reads the command line, chooses X11 or Wayland, starts the application
// with Qt's German translations and shows the main window.
#include "app/CommandLine.h"
#include "app/DecodeWait.h"
#include "app/HeadlessCapture.h"
#include "app/MainWindow.h"
#include "app/ScreenshotFile.h"
#include "platform/AppInfo.h"
#include "platform/Backend.h"
#include "platform/PictureDecoder.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cerrno>
#include <csignal>
#include <cstdio>

using kamsulo::app::CommandLine;
using kamsulo::app::MainButton;

namespace {

void print(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
}

// Why an answer could not be written, for the one line that says so.
QString writeFailure(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("kein Platz mehr auf dem Gerät");
    case EPIPE:
        return QStringLiteral("niemand liest sie mehr");
    case EBADF:
        return QStringLiteral("keine Ausgabe geöffnet");
    default:
        return QStringLiteral("Fehler %1").arg(error);
    }
}

// Writes the answer to --help or --version to stdout: status 0, or 1 with one line on
// stderr when it cannot be written (a full device, a reader that has gone).
int answer(const QString& text) {
    std::signal(SIGPIPE, SIG_IGN); // a gone reader is reported, not a silent death
    const QByteArray bytes = text.toLocal8Bit();
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) ==
                             std::size_t(bytes.size()) &&
                         std::fflush(stdout) == 0;
    if (written) return 0;
    print(stderr, QStringLiteral("kamsulo: Die Ausgabe ließ sich nicht schreiben (%1).\n")
                      .arg(writeFailure(errno)));
    return 1;
}

MainButton buttonFor(CommandLine::Capture capture) {
    switch (capture) {
    case CommandLine::Capture::Region:
        return MainButton::Region;
    case CommandLine::Capture::Window:
        return MainButton::Window;
    default:
        return MainButton::Screen;
    }
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = kamsulo::app::parseCommandLine(arguments);
    switch (line.action) {
    case CommandLine::Action::Help:
        return answer(kamsulo::app::usageText());
    case CommandLine::Action::Version:
        return answer(QStringLiteral("%1 %2\n").arg(kamsulo::platform::AppInfo::exeName(),
                                                    kamsulo::platform::AppInfo::versionText()));
    case CommandLine::Action::Error:
        print(stderr,
              QStringLiteral("kamsulo: %1\n\n").arg(line.error) + kamsulo::app::usageText());
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    // A file given at start decodes in the decoder process while the program starts.
    if (!line.file.isEmpty() && line.output.isEmpty())
        kamsulo::app::sandboxedLoader().startAhead(line.file,
                                                   kamsulo::app::MainWindow::largestPicture());

    // The desktop system decides the Qt platform and the backend, once.
    if (!kamsulo::platform::loadBackend()) {
        print(stderr, QStringLiteral("kamsulo: Weder ein X-Display noch eine Wayland-Sitzung "
                                     "erreichbar. Kamsulo braucht eine X11- oder "
                                     "Wayland-Sitzung.\n"));
        return 1;
    }

    // The desktop's screenshot files: PNGs of the common kind, anything else in the
    // decoder process.
    kamsulo::platform::setPictureDecoder(kamsulo::app::decodeScreenshotFile);

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    app.setApplicationName(kamsulo::platform::AppInfo::title());
    app.setApplicationVersion(kamsulo::platform::AppInfo::versionText());
    app.setDesktopFileName(kamsulo::platform::AppInfo::exeName());
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtbase);

    // Straight into a file: no main window at all.
    if (!line.output.isEmpty()) {
        kamsulo::app::HeadlessCapture headless(line.capture, line.output, line.delayMs);
        headless.start();
        return app.exec();
    }

    kamsulo::app::MainWindow window;
    // While a delayed capture waits, nothing shows: the window comes with the picture.
    if (line.delayMs == 0) window.show();
    // A file given at start opens as the Open button would; there is nothing unsaved
    // to ask about yet. A capture runs as its button would. Either starts once the
    // window is up, so that its messages show over it.
    if (!line.file.isEmpty())
        QTimer::singleShot(0, &window, [&window, file = line.file] { window.openFile(file); });
    else if (line.capture != CommandLine::Capture::None)
        QTimer::singleShot(line.delayMs, &window, [&window, button = buttonFor(line.capture)] {
            window.onButton(button);
        });
    return app.exec();
}
