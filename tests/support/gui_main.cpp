// gtest main for every test binary: a QApplication on the display that the test
// script provides, with Qt's German translations, as the program itself has.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    // The program finds its decoder process beside itself; a test binary is elsewhere.
    if (!qEnvironmentVariableIsSet("KAMSULO_DECODER"))
        qputenv("KAMSULO_DECODER", KAMSULO_BINARY_DIR "/kamsulo-decode");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kamsulo"));
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtbase);
    return RUN_ALL_TESTS();
}
