#include "imaging/SaveFailure.h"

#include <cerrno>
#include <cstring>

namespace kamsulo::imaging {

namespace {

QString fileSystemText(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Der Ordner existiert nicht.");
    case EACCES:
    case EPERM:
        return QStringLiteral("In diesem Ordner fehlt die Berechtigung zum Schreiben.");
    case EROFS:
        return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Auf dem Datenträger ist nicht genug Platz.");
    case ENAMETOOLONG:
        return QStringLiteral("Der Dateiname ist zu lang.");
    case EISDIR:
        return QStringLiteral("Unter diesem Namen gibt es bereits einen Ordner.");
    default:
        return QStringLiteral("Die Datei konnte nicht geschrieben werden (%1).")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

} // namespace

QString failureText(SaveFailure failure, int systemError) {
    switch (failure) {
    case SaveFailure::None:
        return QString();
    case SaveFailure::NoPicture:
        return QStringLiteral("Es ist kein Bild vorhanden.");
    case SaveFailure::NoFileName:
        return QStringLiteral("Es wurde kein Dateiname angegeben.");
    case SaveFailure::OutOfMemory:
        return QStringLiteral("Für dieses Bild reicht der Arbeitsspeicher nicht aus.");
    case SaveFailure::FileSystem:
        return fileSystemText(systemError);
    case SaveFailure::Encoder:
        return QStringLiteral("Das Bild konnte nicht in diesem Format gespeichert werden.");
    case SaveFailure::ForeignLink:
        return QStringLiteral("Der Dateiname ist eine Verknüpfung, die einem anderen Benutzer "
                              "gehört, in einem Ordner, in den alle schreiben dürfen. Kamsulo "
                              "schreibt nicht durch sie hindurch.");
    }
    return QString();
}

} // namespace kamsulo::imaging
