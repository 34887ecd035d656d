#include "imaging/save/SaveFormats.h"

#include <array>

namespace kamsulo::imaging {

const SaveFormat& saveFormat(SaveType type) {
    static const std::array<SaveFormat, saveTypeCount> formats{{
        {QStringLiteral("BMP"), QStringLiteral("Screen.bmp"),
         QStringLiteral("BMP-Datei (*.bmp)|*.bmp"), QStringLiteral("*.bmp")},
        {QStringLiteral("PNG"), QStringLiteral("Screen.png"),
         QStringLiteral("PNG-Datei (*.png)|*.png"), QStringLiteral("*.png")},
        {QStringLiteral("GIF"), QStringLiteral("Screen.gif"),
         QStringLiteral("GIF-Datei (*.gif)|*.gif"), QStringLiteral("*.gif")},
        {QStringLiteral("JPG - Qualität:"), QStringLiteral("Screen.jpg"),
         QStringLiteral("JPG-Datei (*.jpg)|*.jpg"), QStringLiteral("*.jpg")},
    }};
    const int index = static_cast<int>(type);
    if (index < 0 || index >= saveTypeCount)
        return formats[static_cast<std::size_t>(SaveType::Png)];
    return formats[static_cast<std::size_t>(index)];
}

std::optional<SaveType> saveTypeForName(const QString& name) {
    static const struct {
        const char* extension;
        SaveType type;
    } kTypes[] = {{".bmp", SaveType::Bmp},
                  {".png", SaveType::Png},
                  {".gif", SaveType::Gif},
                  {".jpg", SaveType::Jpg},
                  {".jpeg", SaveType::Jpg}};
    for (const auto& t : kTypes)
        if (name.endsWith(QLatin1StringView(t.extension), Qt::CaseInsensitive)) return t.type;
    return std::nullopt;
}

QString startFolder(const QString& lastSaveFolder, const QString& desktopFolder) {
    return lastSaveFolder.isEmpty() ? desktopFolder : lastSaveFolder;
}

QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder;
    return folder + QLatin1Char('/');
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
