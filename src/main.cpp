// Kamsulo: reads the command line, checks for an X display, starts the application
// with Qt's German translations and shows the main window.
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "platform/AppInfo.h"
#include "platform/DisplayCheck.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

using kamsulo::app::CommandLine;
using kamsulo::app::MainButton;

namespace {

void print(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
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
        print(stdout, kamsulo::app::usageText());
        return 0;
    case CommandLine::Action::Version:
        print(stdout, QStringLiteral("%1 %2\n").arg(kamsulo::platform::AppInfo::exeName(),
                                                    kamsulo::platform::AppInfo::versionText()));
        return 0;
    case CommandLine::Action::Error:
        print(stderr,
              QStringLiteral("kamsulo: %1\n\n").arg(line.error) + kamsulo::app::usageText());
        return 2;
    case CommandLine::Action::Run:
        break;
    }

    // An X11 program; in a Wayland session it runs through XWayland.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty()) qputenv("QT_QPA_PLATFORM", "xcb");
    if ((platform.isEmpty() || platform == "xcb") && !kamsulo::platform::x11DisplayReachable()) {
        print(stderr, QStringLiteral("kamsulo: Kein X-Display erreichbar. Kamsulo braucht eine "
                                     "X11-Sitzung (oder XWayland).\n"));
        return 1;
    }

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    app.setApplicationName(kamsulo::platform::AppInfo::title());
    app.setApplicationVersion(kamsulo::platform::AppInfo::versionText());
    app.setDesktopFileName(kamsulo::platform::AppInfo::exeName());
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtbase);

    kamsulo::app::MainWindow window;
    window.show();
    // A file given at start opens as the Open button would; there is nothing unsaved
    // to ask about yet. A capture runs as its button would. Either starts once the
    // window is up, so that its messages show over it.
    if (!line.file.isEmpty())
        QTimer::singleShot(0, &window, [&window, file = line.file] { window.openFile(file); });
    else if (line.capture != CommandLine::Capture::None)
        QTimer::singleShot(
            0, &window, [&window, button = buttonFor(line.capture)] { window.onButton(button); });
    return app.exec();
}
