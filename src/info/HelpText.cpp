#include "info/HelpText.h"

#include <QStringList>

namespace kamsulo::info {

QString helpText() {
    // The blanks are part of the text: two before "(z.B." in the JPG paragraph, and
    // a trailing one after the BMP paragraph and after each half of the tray advice.
    static const QStringList paragraphs{
        QStringLiteral("Die erzeugten ScreenShots können in verschiedenen GrafikFormaten "
                       "gespeichert werden:"),
        QStringLiteral("JPG - Besonders geeignet für Screenshots mit sehr vielen Farben  "
                       "(z.B. wenn Farbfotos enthalten sind). Liefert in solchen Fällen den "
                       "besten Kompressionsgrad."),
        QStringLiteral("PNG - Geeignet für Screenshots mit sehr vielen Farben (z.B. Fenster "
                       "mit Farbverläufen). Für Screenshots von Fotos aber besser JPG "
                       "verwenden (siehe oben). Vorteil PNG gegenüber JPG -> PNG Komprimiert "
                       "verlustfrei."),
        QStringLiteral("GIF - Geeignet für Screenshots mit nur wenigen Farben (z.B. "
                       "Explorerfenster) oder grossen einfarbigen Flächen. Bei nur wenigen "
                       "Farben sehr gute Kompression, es sind aber nur max. 256 Farben "
                       "möglich."),
        QStringLiteral("BMP - Benötigt den meisten Speicherplatz. Eigentlich nur notwendig "
                       "wenn der Screenshot mit anderen Grafikprogrammen weiter bearbeitet "
                       "werden soll, oder wenn Speicherplatz keine Rolle spielt :-). "),
        QStringLiteral("Die hellen Farben in der oberen Reihe der Farbauswahl eignen sich "
                       "besonders für das Zeichnen transparenter Rechtecke auf hellen "
                       "Hintergrund."),
        QStringLiteral("Wird das Programmfenster minimiert, erscheint im SystremTray ein "
                       "TrayIcon (KameraSymbol neben der WindowsUhr). Das Programm kann dann "
                       "über das TrayIcon gesteuert werden (linker Mausclick). "),
    };
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

QString versionCaption(int major, int minor) {
    return QStringLiteral("Version: %1.%2").arg(major).arg(minor);
}

} // namespace kamsulo::info
