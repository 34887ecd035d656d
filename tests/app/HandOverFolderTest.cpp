// The folder where pictures wait for an editor is the user's alone, from its first moment
// on, and keeps no picture longer than a day.
#include "app/HandOverFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kamsulo::app;

namespace {

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST(HandOverFolder, IsPrivateRefusesLinksAndForgetsOldPictures) {
    QTemporaryDir home;
    const mode_t mask = ::umask(0); // a new folder would be open to everyone
    const QString folder = home.filePath(QStringLiteral("cache/kamsulo/malprogramm"));
    EXPECT_TRUE(preparePrivateFolder(folder));
    ::umask(mask);
    EXPECT_EQ(modeOf(folder), 0700u);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_TRUE(preparePrivateFolder(folder));
    EXPECT_EQ(modeOf(folder), 0700u);

    // A link in its place, even to a folder of the user's, is not taken.
    const QString elsewhere = home.filePath(QStringLiteral("elsewhere"));
    const QString linked = home.filePath(QStringLiteral("cache/kamsulo/verlinkt"));
    ASSERT_TRUE(QDir().mkpath(elsewhere) && QFile::link(elsewhere, linked));
    EXPECT_FALSE(preparePrivateFolder(linked));
    EXPECT_EQ(modeOf(elsewhere), 0755u & ~mask);
    if (::geteuid() == 0) {
        const QString foreign = home.filePath(QStringLiteral("cache/kamsulo/fremd"));
        ASSERT_TRUE(QDir().mkpath(foreign));
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
        EXPECT_FALSE(preparePrivateFolder(foreign));
    }

    // Written whole, under its own name; yesterday's pictures go at the next hand-over.
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const QString old = folder + QStringLiteral("/Bildschirmfoto alt.png");
    const QString fresh = folder + QStringLiteral("/Bildschirmfoto neu.png");
    ASSERT_TRUE(writeHandOverPicture(picture, old) && writeHandOverPicture(picture, fresh));
    EXPECT_EQ(QImage(fresh).convertToFormat(QImage::Format_RGB32), picture);
    QFile stale(old);
    ASSERT_TRUE(stale.open(QIODevice::ReadWrite));
    ASSERT_TRUE(stale.setFileTime(QDateTime::currentDateTime().addSecs(-25 * 3600),
                                  QFileDevice::FileModificationTime));
    stale.close();
    removeOldPictures(folder, QDateTime::currentDateTime());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Bildschirmfoto neu.png")});
}
