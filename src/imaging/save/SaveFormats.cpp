#include "imaging/save/SaveFormats.h"

#include "imaging/save/StdDialoge.h"

#include <array>

namespace kamsulo::imaging {

const SaveFormat& saveFormat(int option) {
    static const std::array<SaveFormat, 4> formats{{
        {QStringLiteral("BMP"), QStringLiteral("Screen.bmp"),
         QStringLiteral("BMP-Datei (*.bmp)|*.bmp"), QStringLiteral("*.bmp")},
        {QStringLiteral("PNG"), QStringLiteral("Screen.png"),
         QStringLiteral("PNG-Datei (*.png)|*.png"), QStringLiteral("*.png")},
        {QStringLiteral("GIF"), QStringLiteral("Screen.gif"),
         QStringLiteral("GIF-Datei (*.gif)|*.gif"), QStringLiteral("*.gif")},
        {QStringLiteral("JPG - Qualität:"), QStringLiteral("Screen.jpg"),
         QStringLiteral("JPG-Datei (*.jpg)|*.jpg"), QStringLiteral("*.jpg")},
    }};
    if (option < 0 || option >= static_cast<int>(formats.size())) return formats[OptionPNG];
    return formats[static_cast<std::size_t>(option)];
}

QString startFolder(const QString& lastSaveFolder, const QString& desktopFolder) {
    return lastSaveFolder.isEmpty() ? desktopFolder : lastSaveFolder;
}

QString savePath(const QString& folder, const QString& fileName) {
    return withTrailingSlash(folder) + fileName;
}

QString qualityCaption(int quality) {
    return QString::number(quality) + QStringLiteral(" %");
}

QString confirmationText(const QString& path) {
    return QStringLiteral("Der ScreenShot wurde unter \"") + path +
           QStringLiteral("\" gespeichert.\n\nSoll der ScreenShot jetzt zur Kontrolle mit der "
                          "zuständigen Anwendung angezeigt werden?");
}

QString saveFailedText(const QString& path, const QString& reason) {
    QString text = QStringLiteral("Der ScreenShot konnte nicht unter \"") + path +
                   QStringLiteral("\" gespeichert werden.");
    if (!reason.isEmpty()) text += QStringLiteral("\n\nGrund: ") + reason;
    text += QStringLiteral("\n\nEine bereits vorhandene Datei dieses Namens bleibt unverändert.");
    return text;
}

} // namespace kamsulo::imaging
