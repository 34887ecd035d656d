// The info window on the virtual display: its size and place, its colours, the
// help text, and the donation link through a stand-in default browser.
#include "info/InfoDialog.h"
#include "platform/Twips.h"
#include "support/modal.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using kamsulo::info::InfoDialog;
using kamsulo::test::waitFor;
namespace platform = kamsulo::platform;

namespace {

// The shown instance, framed by the window manager.
InfoDialog* shownInfo() {
    InfoDialog* d = InfoDialog::instance();
    d->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(d));
    EXPECT_TRUE(waitFor([d] { return !d->windowHandle()->frameMargins().isNull(); }));
    return d;
}

QRect primaryScreen() {
    return QGuiApplication::primaryScreen()->geometry();
}

struct InfoDialogTest : ::testing::Test {
    void TearDown() override { InfoDialog::unload(); }
};

} // namespace

TEST_F(InfoDialogTest, FixedClientSizeCentredOuterWindowAndOneInstance) {
    InfoDialog* d = shownInfo();
    const QSize client(platform::twipsToPixelsX(8520), platform::twipsToPixelsY(7680));
    EXPECT_EQ(d->size(), client);
    EXPECT_EQ(d->minimumSize(), client);
    EXPECT_EQ(d->maximumSize(), client);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Kamsulo - Info"));
    EXPECT_TRUE(waitFor([d] {
        const QPoint off = d->windowHandle()->frameGeometry().center() - primaryScreen().center();
        return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
    }));

    EXPECT_EQ(InfoDialog::instance(), d);
    // The close box destroys the window; the next use makes a new one.
    QPointer<InfoDialog> closed(d);
    d->close();
    EXPECT_TRUE(waitFor([&] { return closed.isNull(); }));
    QPointer<InfoDialog> again(InfoDialog::instance());
    InfoDialog::unload();
    EXPECT_TRUE(again.isNull());
}

TEST_F(InfoDialogTest, HeaderPanelAndWindowColoursOnScreen) {
    InfoDialog* d = shownInfo();
    auto pixel = [d](int xTwips, int yTwips) {
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(d->winId()).toImage();
        return shot.pixel(platform::twipsToPixelsX(xTwips), platform::twipsToPixelsY(yTwips)) &
               0xFFFFFF;
    };
    // Right end of the header, the panel's rim left of the text box, and the window
    // below the panel right of the donation link.
    EXPECT_TRUE(waitFor([&] { return pixel(8400, 100) == 0x808080; }));
    EXPECT_EQ(pixel(250, 4000), 0xFDFFE6u);
    EXPECT_EQ(pixel(8400, 7550), 0x404040u);
}

TEST_F(InfoDialogTest, HelpTextAndVersionExactly) {
    InfoDialog* d = InfoDialog::instance();
    auto* text = d->findChild<QPlainTextEdit*>(QStringLiteral("helpText"));
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->toPlainText(),
              QStringLiteral(
                  "Die erzeugten ScreenShots können in verschiedenen GrafikFormaten gespeichert "
                  "werden:\n\n"
                  "JPG - Besonders geeignet für Screenshots mit sehr vielen Farben  (z.B. wenn "
                  "Farbfotos enthalten sind). Liefert in solchen Fällen den besten "
                  "Kompressionsgrad.\n\n"
                  "PNG - Geeignet für Screenshots mit sehr vielen Farben (z.B. Fenster mit "
                  "Farbverläufen). Für Screenshots von Fotos aber besser JPG verwenden (siehe "
                  "oben). Vorteil PNG gegenüber JPG -> PNG Komprimiert verlustfrei.\n\n"
                  "GIF - Geeignet für Screenshots mit nur wenigen Farben (z.B. Explorerfenster) "
                  "oder grossen einfarbigen Flächen. Bei nur wenigen Farben sehr gute "
                  "Kompression, es sind aber nur max. 256 Farben möglich.\n\n"
                  "BMP - Benötigt den meisten Speicherplatz. Eigentlich nur notwendig wenn der "
                  "Screenshot mit anderen Grafikprogrammen weiter bearbeitet werden soll, oder "
                  "wenn Speicherplatz keine Rolle spielt :-). \n\n"
                  "Die hellen Farben in der oberen Reihe der Farbauswahl eignen sich besonders "
                  "für das Zeichnen transparenter Rechtecke auf hellen Hintergrund.\n\n"
                  "Wird das Programmfenster minimiert, erscheint im SystremTray ein TrayIcon "
                  "(KameraSymbol neben der WindowsUhr). Das Programm kann dann über das "
                  "TrayIcon gesteuert werden (linker Mausclick). "));
    const auto* version = d->findChild<QLabel*>(QStringLiteral("versionLabel"));
    ASSERT_TRUE(version);
    EXPECT_TRUE(
        version->text().contains(QRegularExpression(QStringLiteral("^Version: \\d+\\.\\d+$"))))
        << version->text().toStdString();
}

TEST_F(InfoDialogTest, DonationLinkOpensDefaultBrowser) {
    // A private home whose default https handler writes its argument to a file.
    QTemporaryDir home;
    const QString seen = home.filePath(QStringLiteral("seen-url"));
    const QString script = home.filePath(QStringLiteral("browser.sh"));
    auto write = [](const QString& path, const QByteArray& content) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    write(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + seen.toUtf8() + ".part\" && mv \"" +
                      seen.toUtf8() + ".part\" \"" + seen.toUtf8() + "\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    write(home.filePath(QStringLiteral("data/applications/stand-in-browser.desktop")),
          "[Desktop Entry]\nType=Application\nName=Stand-in\nExec=" + script.toUtf8() +
              " %u\nMimeType=x-scheme-handler/https;\n");
    write(home.filePath(QStringLiteral("config/mimeapps.list")),
          "[Default Applications]\nx-scheme-handler/https=stand-in-browser.desktop\n");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_DATA_DIRS", home.filePath(QStringLiteral("none")).toUtf8());
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "BROWSER"})
        qunsetenv(name);

    InfoDialog* d = shownInfo();
    auto* link = d->findChild<QLabel*>(QStringLiteral("donationLabel"));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->text(), QStringLiteral("PayPal Spende"));
    EXPECT_TRUE(link->font().underline());
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return QFile::exists(seen); }, 15000));
    QFile f(seen);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(kamsulo::info::kDonationAddress));
}
