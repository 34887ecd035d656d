#include "app/HandOverFolder.h"

#include "imaging/ImageWriter.h"
#include "imaging/save/PictureWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kamsulo::app {

namespace {
constexpr mode_t PrivateFolderMode = 0700;
constexpr mode_t PermissionBits = 07777;
constexpr int KeptDays = 1;
} // namespace

bool preparePrivateFolder(const QString& folder) {
    if (!QDir().mkpath(QFileInfo(folder).path())) return false;
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), PrivateFolderMode) != 0 && errno != EEXIST) return false;
    // Opened without following a link, so that what is checked is what is made private.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool ours = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
    const bool isPrivate = ours && ((st.st_mode & PermissionBits) == PrivateFolderMode ||
                                    ::fchmod(fd, PrivateFolderMode) == 0);
    ::close(fd);
    return isPrivate;
}

void removeOldPictures(const QString& folder, const QDateTime& now) {
    const QDateTime before = now.addDays(-KeptDays);
    const QDir dir(folder);
    const QStringList names{QStringLiteral("*.png"), QStringLiteral(".kamsulo-*.tmp")};
    for (const QFileInfo& file :
         dir.entryInfoList(names, QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        if (file.lastModified() < before) QFile::remove(file.filePath());
}

bool writeHandOverPicture(const QImage& picture, const QString& file) {
    imaging::ImageWriter writer;
    return imaging::writePicture(writer, picture, file, imaging::SaveType::Png, 0).ok;
}

} // namespace kamsulo::app
