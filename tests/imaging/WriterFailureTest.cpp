// Failing saves: false, a German reason, no file and no temporary file left, and
// an existing file of that name unchanged.
#include "SaveTestSupport.h"
#include "imaging/ImageWriter.h"

#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;

namespace {

void writeFile(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every save method.
std::vector<std::function<bool(ImageWriter&, const QImage&, const QString&)>> allMethods() {
    return {
        [](ImageWriter& w, const QImage& i, const QString& f) { return w.saveBmp(i, f); },
        [](ImageWriter& w, const QImage& i, const QString& f) { return w.savePng(i, f); },
        [](ImageWriter& w, const QImage& i, const QString& f) { return w.saveGif(i, f); },
        [](ImageWriter& w, const QImage& i, const QString& f) { return w.saveJpeg(i, f, 85); },
    };
}

} // namespace

TEST(SaveFailures, BadInputReturnsFalseAndLeavesNothing) {
    QTemporaryDir dir;
    ImageWriter writer;
    const QImage picture = testPicture();
    const QString missingFolder = dir.filePath(QStringLiteral("nicht-da/bild.png"));
    for (const auto& save : allMethods()) {
        EXPECT_FALSE(save(writer, picture, QString()));
        EXPECT_EQ(writer.lastError(), QStringLiteral("Es wurde kein Dateiname angegeben."));
        EXPECT_FALSE(save(writer, QImage(), dir.filePath(QStringLiteral("leer.png"))));
        EXPECT_EQ(writer.lastError(), QStringLiteral("Es ist kein Bild vorhanden."));
        EXPECT_FALSE(save(writer, picture, missingFolder));
        EXPECT_EQ(writer.lastError(), QStringLiteral("Der Ordner existiert nicht."));
        EXPECT_FALSE(save(writer, picture, dir.path())); // a folder, not a file
    }
    EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << filesIn(dir.path()).join(u' ').toStdString();

    EXPECT_TRUE(allMethods()[0](writer, picture, dir.filePath(QStringLiteral("gut.bmp"))));
    EXPECT_TRUE(writer.lastError().isEmpty());
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("gut.bmp")});
}

TEST(SaveFailures, ReadOnlyFolderLeavesNothing) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("nur-lesen"));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    QString target = folder;
    if (::access(folder.toLocal8Bit().constData(), W_OK) == 0) {
        // The superuser writes anywhere: take a file system that refuses new files.
        target = QStringLiteral("/sys/kernel");
        if (::access("/sys/kernel", F_OK) != 0) GTEST_SKIP() << "no folder that refuses writing";
    }
    const QStringList before = filesIn(target);
    ImageWriter writer;
    for (const auto& save : allMethods())
        EXPECT_FALSE(save(writer, testPicture(), target + QStringLiteral("/bild.png")));
    EXPECT_FALSE(writer.lastError().isEmpty());
    EXPECT_EQ(filesIn(target), before);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(SaveFailures, AFailedSaveKeepsTheExistingFile) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("bild.gif"));
    writeFile(name, "altes Bild");
    ImageWriter writer;
    // Too wide for a GIF: fails in the encoder, after the file was opened.
    const QImage wide(70000, 1, QImage::Format_RGB32);
    EXPECT_FALSE(writer.saveGif(wide, name));
    EXPECT_FALSE(writer.lastError().isEmpty());
    EXPECT_EQ(readFile(name), QByteArray("altes Bild"));
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("bild.gif")});
}

TEST(SaveFailures, ASaveReplacesAReadOnlyFile) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("bild.png"));
    writeFile(name, "alt");
    ASSERT_TRUE(QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup));
    ImageWriter writer;
    ASSERT_TRUE(writer.savePng(testPicture(), name)) << writer.lastError().toStdString();
    EXPECT_TRUE(readFile(name).startsWith("\x89PNG"));
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("bild.png")});
    // The new file keeps the old one's permissions, writable for its owner again.
    EXPECT_TRUE(QFileInfo(name).permissions() & QFile::WriteOwner);
}
