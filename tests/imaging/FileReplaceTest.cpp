// Replacing a file keeps its mode, owner and links, and syncs the new file
// before it takes the old one's place.
#include "SaveTestSupport.h"
#include "imaging/ImageWriter.h"

#include <QFileInfo>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;

namespace {

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

void makeFile(const QString& path, mode_t mode) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("alt") == 3);
    f.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

bool savePng(const QString& path) {
    return ImageWriter().savePng(testPicture(), path) &&
           QImage(path).size() == testPicture().size();
}

// Each fsync: what it synced, and what the watched name stood for at that moment.
std::vector<std::pair<ino_t, ino_t>> g_syncs;
QString g_watched;

} // namespace

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    struct stat st {};
    if (!g_watched.isEmpty() && ::fstat(fd, &st) == 0)
        g_syncs.emplace_back(st.st_ino, statOf(g_watched).st_ino);
    return real(fd);
}

TEST(FileReplace, KeepsModeAndOwnerOfTheOldFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("privat.png"));
    // A read-only file becomes writable for its owner again.
    for (const auto& [before, after] : {std::pair{0600, 0600}, {0604, 0604}, {0440, 0640}}) {
        makeFile(file, before);
        ASSERT_TRUE(savePng(file));
        EXPECT_EQ(statOf(file).st_mode & 07777, static_cast<mode_t>(after));
    }
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give a file to another owner";
    ASSERT_EQ(::chown(QFile::encodeName(file).constData(), 1, 2), 0);
    ASSERT_TRUE(savePng(file));
    EXPECT_EQ(statOf(file).st_uid, 1u);
    EXPECT_EQ(statOf(file).st_gid, 2u);
}

TEST(FileReplace, WritesThroughSymbolicLinks) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ablage")));
    const QString real = dir.filePath(QStringLiteral("ablage/echt.png"));
    const QString inner = dir.filePath(QStringLiteral("ablage/innen.png"));
    const QString outer = dir.filePath(QStringLiteral("aussen.png"));
    const QString later = dir.filePath(QStringLiteral("ablage/neu.png"));
    const QString dangling = dir.filePath(QStringLiteral("verweis.png"));
    makeFile(real, 0600);
    ASSERT_TRUE(QFile::link(real, inner) && QFile::link(later, dangling));
    ASSERT_EQ(::symlink("ablage/innen.png", QFile::encodeName(outer).constData()), 0);

    ASSERT_TRUE(savePng(outer));
    ASSERT_TRUE(savePng(dangling)); // creates the file it points to
    EXPECT_EQ(QFileInfo(outer).symLinkTarget().toStdString(), inner.toStdString());
    EXPECT_EQ(QFileInfo(inner).symLinkTarget().toStdString(), real.toStdString());
    EXPECT_EQ(statOf(real).st_mode & 07777, 0600u);
    EXPECT_EQ(filesIn(dir.path()).join(u' '), QStringLiteral("aussen.png verweis.png"));
    EXPECT_EQ(filesIn(dir.filePath(QStringLiteral("ablage"))).join(u' '),
              QStringLiteral("echt.png innen.png neu.png"));
}

TEST(FileReplace, SyncsTheFileBeforeTheRenameAndTheFolderAfterIt) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bild.png"));
    makeFile(file, 0644);
    const ino_t old = statOf(file).st_ino;
    g_syncs.clear();
    g_watched = file;
    const bool saved = savePng(file);
    g_watched.clear();
    ASSERT_TRUE(saved);
    const ino_t written = statOf(file).st_ino;
    const auto seen = [](ino_t synced, ino_t nameThen) {
        return std::count(g_syncs.begin(), g_syncs.end(), std::pair{synced, nameThen}) > 0;
    };
    EXPECT_TRUE(seen(written, old)) << "the new file is not synced before the rename";
    EXPECT_TRUE(seen(statOf(dir.path()).st_ino, written)) << "the folder is not synced after it";
}

// In a sticky folder that everyone may write, another user's link is not followed, as the
// kernel would not follow it: the victim keeps its bytes and the user is told why. The
// user's own link there, and another's link in a folder of the user's, are followed.
TEST(FileReplace, NeverWritesThroughAnotherUsersLinkInASharedFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can plant another user's link";
    constexpr uid_t Other = 65534;
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim"));
    struct Case {
        mode_t folderMode;
        uid_t linkOwner;
        bool followed;
    } const cases[] = {{01777, Other, false}, {01777, ::geteuid(), true}, {0777, Other, true}};
    for (const Case& c : cases) {
        makeFile(victim, 0644);
        const QString shared = dir.filePath(QStringLiteral("shared%1").arg(c.folderMode));
        QDir().mkpath(shared);
        ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), c.folderMode), 0);
        const QByteArray link = QFile::encodeName(shared + QStringLiteral("/shot.png"));
        ::unlink(link.constData());
        ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(), link.constData()), 0);
        ASSERT_EQ(::lchown(link.constData(), c.linkOwner, c.linkOwner), 0);
        ImageWriter writer;
        EXPECT_EQ(writer.savePng(testPicture(), QFile::decodeName(link)), c.followed)
            << c.folderMode;
        EXPECT_EQ(QImage(victim).isNull(), !c.followed) << c.folderMode;
        const QString refusal = QStringLiteral(
            "Der Dateiname ist eine Verknüpfung, die einem anderen Benutzer gehört, in einem "
            "Ordner, in den alle schreiben dürfen. Kamsulo schreibt nicht durch sie hindurch.");
        EXPECT_EQ(writer.lastError(), c.followed ? QString() : refusal);
    }
}
