// Failing saves: false, a German reason, no file and no temporary file left, and
// an existing file of that name unchanged.
#include "SaveTestSupport.h"
#include "imaging/clsSaveAs.h"

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

// Every save method with a valid selector.
std::vector<std::function<bool(clsSaveAs&, const QImage&, const QString&)>> allMethods() {
    return {
        [](clsSaveAs& s, const QImage& i, const QString& f) { return s.SaveAsBMP(i, f, 7); },
        [](clsSaveAs& s, const QImage& i, const QString& f) { return s.SaveAsPNG(i, f, 7); },
        [](clsSaveAs& s, const QImage& i, const QString& f) { return s.SaveAsGIF(i, f, 2); },
        [](clsSaveAs& s, const QImage& i, const QString& f) { return s.SaveAsJPEG(i, f, 85); },
        [](clsSaveAs& s, const QImage& i, const QString& f) { return s.SaveAsTIFF(i, f, 2, 4); },
        [](clsSaveAs& s, const QImage& i, const QString& f) {
            return s.SaveAsEMF(i, f, 3, QStringLiteral("x"));
        },
    };
}

} // namespace

TEST(SaveFailures, BadInputReturnsFalseAndLeavesNothing) {
    QTemporaryDir dir;
    clsSaveAs saver;
    const QImage picture = testPicture();
    const QString missingFolder = dir.filePath(QStringLiteral("nicht-da/bild.png"));
    for (const auto& save : allMethods()) {
        EXPECT_FALSE(save(saver, picture, QString()));
        EXPECT_EQ(saver.lastError(), QStringLiteral("Es wurde kein Dateiname angegeben."));
        EXPECT_FALSE(save(saver, QImage(), dir.filePath(QStringLiteral("leer.png"))));
        EXPECT_EQ(saver.lastError(), QStringLiteral("Es ist kein Bild vorhanden."));
        EXPECT_FALSE(save(saver, picture, missingFolder));
        EXPECT_EQ(saver.lastError(), QStringLiteral("Der Ordner existiert nicht."));
        EXPECT_FALSE(save(saver, picture, dir.path())); // a folder, not a file
    }
    EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << filesIn(dir.path()).join(u' ').toStdString();

    EXPECT_TRUE(allMethods()[0](saver, picture, dir.filePath(QStringLiteral("gut.bmp"))));
    EXPECT_TRUE(saver.lastError().isEmpty());
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
    clsSaveAs saver;
    for (const auto& save : allMethods())
        EXPECT_FALSE(save(saver, testPicture(), target + QStringLiteral("/bild.png")));
    EXPECT_FALSE(saver.lastError().isEmpty());
    EXPECT_EQ(filesIn(target), before);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(SaveFailures, AFailedSaveKeepsTheExistingFile) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("bild.gif"));
    writeFile(name, "altes Bild");
    clsSaveAs saver;
    // Too wide for a GIF: fails in the encoder, after the file was opened.
    const QImage wide(70000, 1, QImage::Format_RGB32);
    EXPECT_FALSE(saver.SaveAsGIF(wide, name, 2));
    EXPECT_FALSE(saver.lastError().isEmpty());
    // Unknown selectors.
    EXPECT_FALSE(saver.SaveAsGIF(testPicture(), name, 7));
    EXPECT_EQ(saver.lastError(), QStringLiteral("Dieses Bildformat wird nicht unterstützt."));
    EXPECT_FALSE(saver.SaveAsBMP(testPicture(), name, 10));
    EXPECT_EQ(readFile(name), QByteArray("altes Bild"));
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("bild.gif")});
}

TEST(SaveFailures, ASaveReplacesAReadOnlyFile) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("bild.png"));
    writeFile(name, "alt");
    ASSERT_TRUE(QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup));
    clsSaveAs saver;
    ASSERT_TRUE(saver.SaveAsPNG(testPicture(), name, 7)) << saver.lastError().toStdString();
    EXPECT_TRUE(readFile(name).startsWith("\x89PNG"));
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("bild.png")});
    // The new file gets the usual permissions of a new file.
    EXPECT_TRUE(QFileInfo(name).permissions() & QFile::WriteOwner);
}
