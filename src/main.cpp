// Kamsulo: starts the application with Qt's German translations and shows the
// main window.
#include "app/frmAnzeige.h"
#include "platform/AppInfo.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
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

    kamsulo::app::frmAnzeige window;
    window.show();
    return app.exec();
}
