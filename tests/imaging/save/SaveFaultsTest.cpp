// The save flow when the disk, the folder or the name lets the write down: the user
// is told where and why, the file that was there stays as it was, no temporary
// file is left behind and the picture does not count as saved.
#include "SaveFlowScript.h"
#include "XdgSandbox.h"
#include "imaging/AtomicFile.h"
#include "imaging/save/SaveDialog.h"
#include "imaging/save/SaveFormats.h"
#include "imaging/save/SaveHost.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/mount.h>

using namespace kamsulo::imaging;
using namespace kamsulo::test;

namespace {

class HookedHost : public SaveHost {
public:
    QImage picture;
    bool saved = true;                 // a failed save must not change it either way
    std::function<void()> beforeWrite; // runs after the file dialog, before the write
    QImage pictureToSave() const override {
        if (beforeWrite) beforeWrite();
        return picture;
    }
    bool shotSaved() const override { return saved; }
    void setShotSaved(bool s) override { saved = s; }
};

// Noise does not compress, so its file is as large as the picture.
QImage noise(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y, random.generate() | 0xff000000u);
    return img;
}

const QByteArray oldContent("alter Inhalt");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every name in `folder`, hidden ones (a left temporary file) included.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden |
                                  QDir::System);
}

// Lets every write through until `budget` bytes are spent, then fails with ENOSPC.
std::size_t g_budget = 0;
ssize_t writeUntilFull(int fd, const void* data, std::size_t size) {
    if (g_budget == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n = ::write(fd, data, std::min(size, g_budget));
    if (n > 0) g_budget -= static_cast<std::size_t>(n);
    return n;
}

class SaveFaults : public ::testing::Test {
protected:
    void SetUp() override {
        setLastSaveFolder(QString());
        host.picture = noise(64);
        setSaveHost(&host);
    }
    void TearDown() override {
        setWriteFunction(nullptr);
        SaveDialog::unloadInstance();
        setSaveHost(nullptr);
    }

    // Saves to `path` as `type`, answering the overwrite question when the file
    // exists, and returns the text of the box that followed.
    QString saveExpectingFailure(const QString& path, SaveType type = SaveType::Png) {
        const bool exists = QFileInfo::exists(path);
        auto seen = scriptSave(path, exists ? QStringList{"Ja", "OK"} : QStringList{"OK"});
        SaveDialog::instance().typeButton(type)->setChecked(true);
        SaveDialog::instance().show();
        SaveDialog::instance().saveButton()->click();
        EXPECT_EQ(seen->boxes.size(), exists ? 2 : 1);
        EXPECT_TRUE(host.saved);
        return seen->boxes.isEmpty() ? QString() : seen->boxes.last().text;
    }

    static void expectNamesPathAndReason(const QString& text, const QString& path,
                                         const QString& reason) {
        EXPECT_TRUE(text.startsWith("Der ScreenShot konnte nicht unter \"" + path + "\""))
            << text.toStdString();
        EXPECT_TRUE(text.contains("Grund: " + reason)) << text.toStdString();
    }

    XdgSandbox sandbox;
    HookedHost host;
    QTemporaryDir target;
};

// A tmpfs of a few pages, mounted for the test; unmounted with it.
class SmallDisk {
public:
    explicit SmallDisk(const QString& path) : path_(QFile::encodeName(path)) {
        QDir().mkpath(path);
        if (::mount("tmpfs", path_.constData(), "tmpfs", 0, "size=64k") != 0) error_ = errno;
    }
    ~SmallDisk() {
        if (error_ == 0) ::umount2(path_.constData(), MNT_DETACH);
    }
    int error() const { return error_; }

private:
    QByteArray path_;
    int error_ = 0;
};

} // namespace

TEST_F(SaveFaults, AFullDiskKeepsTheOldFileAndItsStrangeName) {
    const QString folder = target.path() + "/klein";
    SmallDisk disk(folder);
    if (disk.error() != 0)
        GTEST_SKIP() << "mounting a tmpfs is not permitted here: " << std::strerror(disk.error());
    const QString name = "Grüße an 'Jürgen' & Ölfaß.png";
    const QString path = folder + "/" + name;
    writeFile(path, oldContent);
    host.picture = noise(300); // about 270 KB against 64 KB
    const QString text = saveExpectingFailure(path);
    expectNamesPathAndReason(text, path, "Auf dem Datenträger ist nicht genug Platz.");
    EXPECT_EQ(readAll(path), oldContent);
    EXPECT_EQ(entries(folder), QStringList{name});
}

TEST_F(SaveFaults, ADiskThatRunsFullAtAnyPointInEveryFormat) {
    const QString path = target.path() + "/alt.bild";
    writeFile(path, oldContent);
    setWriteFunction(writeUntilFull);
    for (SaveType type : {SaveType::Bmp, SaveType::Png, SaveType::Gif, SaveType::Jpg}) {
        for (std::size_t budget : {std::size_t{0}, std::size_t{1000}}) {
            SCOPED_TRACE(testing::Message() << "type " << int(type) << ", full after " << budget);
            g_budget = budget;
            const QString text = saveExpectingFailure(path, type);
            expectNamesPathAndReason(text, path, "Auf dem Datenträger ist nicht genug Platz.");
            EXPECT_EQ(readAll(path), oldContent);
            EXPECT_EQ(entries(target.path()), QStringList{"alt.bild"});
        }
    }
}

TEST_F(SaveFaults, TheFolderVanishesOrTheNameBecomesAFolderAfterTheDialog) {
    const QString folder = target.path() + "/Bilder";
    const QString path = folder + "/alt.png";
    QDir().mkpath(folder);
    writeFile(path, oldContent);
    host.beforeWrite = [&] { QDir().rename(folder, target.path() + "/verschoben"); };
    expectNamesPathAndReason(saveExpectingFailure(path), path, "Der Ordner existiert nicht.");
    EXPECT_EQ(readAll(target.path() + "/verschoben/alt.png"), oldContent);
    EXPECT_EQ(entries(target.path() + "/verschoben"), QStringList{"alt.png"});

    const QString taken = target.path() + "/neu.png";
    host.beforeWrite = [&] {
        QDir().mkpath(taken);
        writeFile(taken + "/darin.txt", oldContent);
    };
    expectNamesPathAndReason(saveExpectingFailure(taken), taken,
                             "Unter diesem Namen gibt es bereits einen Ordner.");
    EXPECT_EQ(entries(taken), QStringList{"darin.txt"});
    EXPECT_EQ(entries(target.path()), (QStringList{"neu.png", "verschoben"}));
}

TEST_F(SaveFaults, APathLongerThanTheSystemAllows) {
    QString folder = target.path();
    // A folder of 3900 bytes: its temporary file fits within 4096, the name does not.
    const auto length = [&] { return int(QFile::encodeName(folder).size()); };
    while (length() + 241 <= 3900)
        folder += "/" + QString(120, QChar(u'ö'));
    if (length() < 3899) folder += "/" + QString(3899 - length(), QChar(u'd'));
    ASSERT_TRUE(QDir().mkpath(folder)) << QFile::encodeName(folder).size();
    const QString path = folder + "/" + QString(251, QChar(u'x')) + ".png";
    ASSERT_GT(QFile::encodeName(path).size(), 4096);
    expectNamesPathAndReason(saveExpectingFailure(path), path, "Der Dateiname ist zu lang.");
    EXPECT_TRUE(entries(folder).isEmpty());
}

TEST_F(SaveFaults, ANameWithUmlautsSpacesAndQuotesIsSavedAsTyped) {
    const QString name = "Grüße „von“ \"Jürgen\" & 'Ölfaß'.png";
    const QString path = target.path() + "/" + name;
    host.saved = false;
    auto seen = scriptSave(path, {"Nein"});
    SaveDialog::instance().show();
    SaveDialog::instance().saveButton()->click();
    ASSERT_EQ(seen->boxes.size(), 1);
    EXPECT_EQ(seen->boxes[0].text, confirmationText(path)) << seen->boxes[0].text.toStdString();
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), host.picture);
    EXPECT_EQ(entries(target.path()), QStringList{name});
    EXPECT_TRUE(host.saved);

    // Saved again under that name: the user is asked before it is replaced.
    auto again = scriptSave(path, {"Ja", "Nein"});
    SaveDialog::instance().saveButton()->click();
    ASSERT_EQ(again->boxes.size(), 2);
    EXPECT_TRUE(again->boxes[0].text.contains(name + " existiert bereits."))
        << again->boxes[0].text.toStdString();
    EXPECT_EQ(again->boxes[1].text, confirmationText(path));
}
