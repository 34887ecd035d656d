// Kamsulo: starts the application with Qt's German translations and shows the
// main window.
#include "app/MainWindow.h"
#include "platform/AppInfo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    app.setApplicationName(kamsulo::platform::AppInfo::title());
    app.setApplicationVersion(kamsulo::platform::AppInfo::versionText());
    app.setDesktopFileName(kamsulo::platform::AppInfo::exeName());
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtbase);

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("DATEI"),
                                 QStringLiteral("Eine Bilddatei, die beim Start geöffnet wird."));
    parser.process(app);

    kamsulo::app::MainWindow window;
    window.show();
    // A file given at start opens as the Open button would; there is nothing unsaved
    // to ask about yet. Its messages show over the main window.
    if (const QStringList files = parser.positionalArguments(); !files.isEmpty())
        QTimer::singleShot(0, &window, [&window, file = files.first()] { window.openFile(file); });
    return app.exec();
}
