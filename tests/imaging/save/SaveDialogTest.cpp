// SaveDialog and its save flow, in process, with the real dialogs answered as a user
// would answer them.
#include "imaging/save/SaveDialog.h"
#include "SaveFlowScript.h"
#include "XdgSandbox.h"
#include "imaging/save/SaveFormats.h"
#include "imaging/save/SaveHost.h"
#include "platform/AppChooser.h"
#include "platform/Twips.h"
#include "support/modal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kamsulo::imaging;
using namespace kamsulo::test;

namespace {

class FakeHost : public SaveHost {
public:
    QImage picture;
    bool saved = false;
    QImage pictureToSave() const override { return picture; }
    bool shotSaved() const override { return saved; }
    void setShotSaved(bool s) override { saved = s; }
};

// A picture with a few plain colours, so that every format keeps its pixels.
QImage testPicture() {
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 128));
    QPainter p(&img);
    p.fillRect(8, 8, 20, 12, QColor(255, 255, 0));
    p.fillRect(30, 20, 25, 20, QColor(200, 30, 40));
    return img;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool samePixels(const QString& path, const QImage& expected) {
    const QImage got(path);
    return !got.isNull() && got.convertToFormat(QImage::Format_RGB32) ==
                                expected.convertToFormat(QImage::Format_RGB32);
}

class SaveFlow : public ::testing::Test {
protected:
    void SetUp() override {
        setLastSaveFolder(QString());
        host.picture = testPicture();
        setSaveHost(&host);
        QDir(sandbox.home()).mkpath("Schreibtisch");
        sandbox.write("home/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    }
    void TearDown() override {
        SaveDialog::unloadInstance();
        setSaveHost(nullptr);
    }

    // Presses "Save" and waits until the flow has run.
    void pressSave() {
        SaveDialog::instance().show();
        SaveDialog::instance().saveButton()->click();
    }

    XdgSandbox sandbox;
    FakeHost host;
    QTemporaryDir target;
};

} // namespace

TEST_F(SaveFlow, WindowAtLoad) {
    SaveDialog& form = SaveDialog::instance();
    EXPECT_EQ(form.windowTitle(), "Speichern als...");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(form.selectedType(), SaveType::Png);
    EXPECT_EQ(form.typeButton(SaveType::Jpg)->text(), "JPG - Qualität:");
    EXPECT_EQ(form.qualityBar()->minimum(), 0);
    EXPECT_EQ(form.qualityBar()->maximum(), 100);
    EXPECT_EQ(form.qualityBar()->pageStep(), 10);
    EXPECT_EQ(form.qualityBar()->value(), 85);
    EXPECT_EQ(form.qualityLabel()->text(), "85 %");
    EXPECT_EQ(form.saveButton()->text(), "Save");
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(form.typeButton(SaveType::Bmp)->palette().color(QPalette::WindowText),
              QColor(0x80, 0x80, 0));

    // The label follows the thumb while it is dragged, and any other change.
    form.qualityBar()->setSliderDown(true);
    form.qualityBar()->setSliderPosition(40);
    EXPECT_EQ(form.qualityLabel()->text(), "40 %");
    form.qualityBar()->setSliderDown(false);
    form.qualityBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(form.qualityLabel()->text(), "50 %");

    // The arrow keys move the thumb the way they point.
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(form.qualityBar(), &right);
    EXPECT_EQ(form.qualityBar()->value(), 51);
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(form.qualityBar(), &left);
    QApplication::sendEvent(form.qualityBar(), &left);
    EXPECT_EQ(form.qualityLabel()->text(), "49 %");
}

TEST_F(SaveFlow, QualityLabelFitsItsTextInItsFont) {
    SaveDialog& form = SaveDialog::instance();
    QLabel* label = form.qualityLabel();
    const QFontMetrics metrics(label->font());
    for (const int quality : {85, 100, 5}) {
        form.qualityBar()->setValue(quality);
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text()));
        EXPECT_GE(label->height(), metrics.height());
        EXPECT_EQ(label->x(), kamsulo::platform::twipsToPixelsX(1320));
        EXPECT_TRUE(form.rect().contains(label->geometry())) << label->geometry().right();
    }
}

TEST_F(SaveFlow, OneProgramWideInstanceThatUnloadsToItsDefaults) {
    SaveDialog* first = &SaveDialog::instance();
    EXPECT_EQ(&SaveDialog::instance(), first);
    first->typeButton(SaveType::Gif)->setChecked(true);
    first->qualityBar()->setValue(30);
    SaveDialog::unloadInstance();
    EXPECT_FALSE(SaveDialog::hasInstance());
    SaveDialog& again = SaveDialog::instance();
    EXPECT_EQ(again.selectedType(), SaveType::Png);
    EXPECT_EQ(again.qualityBar()->value(), 85);

    // The close box unloads it as well.
    again.show();
    again.close();
    EXPECT_FALSE(SaveDialog::hasInstance());
}

TEST_F(SaveFlow, ShownBesideItsOwnerAndPlacedAnewOnEachPress) {
    QWidget owner;
    owner.setGeometry(200, 150, 700, 420);
    owner.show();
    ASSERT_TRUE(waitFor([&] { return owner.frameGeometry() != owner.geometry(); }, 3000) ||
                owner.isVisible());
    SaveDialog& form = SaveDialog::instance();
    form.showBeside(&owner);
    EXPECT_EQ(form.parentWidget(), &owner);
    auto placed = [&] {
        const QRect o = owner.frameGeometry();
        const QRect f = form.frameGeometry();
        return f.right() == o.right() &&
               f.top() == o.top() + kamsulo::platform::twipsToPixelsY(400);
    };
    EXPECT_TRUE(waitFor(placed, 3000))
        << form.frameGeometry().right() << "," << form.frameGeometry().top() << " beside "
        << owner.frameGeometry().right() << "," << owner.frameGeometry().top();

    owner.move(100, 100);
    ASSERT_TRUE(waitFor([&] { return owner.frameGeometry().top() <= 110; }, 3000));
    SaveDialog::instance().showBeside(&owner);
    EXPECT_EQ(&SaveDialog::instance(), &form);
    EXPECT_TRUE(waitFor(placed, 3000));
    SaveDialog::unloadInstance();
}

TEST_F(SaveFlow, FirstSaveProposesDesktopAndScreenPngNextStartsInLastFolder) {
    const QString desktop = sandbox.home() + "/Schreibtisch";
    const QString path = target.path() + "/erstes.png";
    auto seen = scriptSave(path, {"Nein"});
    pressSave();
    ASSERT_TRUE(seen->dialogShown);
    EXPECT_EQ(seen->dialogTitle, "Bild speichern unter");
    EXPECT_EQ(seen->dialogDirectory, desktop);
    EXPECT_EQ(seen->proposedName, "Screen.png");
    EXPECT_EQ(seen->filters, QStringList{"PNG-Datei (*.png)"});
    ASSERT_EQ(seen->boxes.size(), 1);
    EXPECT_EQ(seen->boxes[0].title, "kamsulo");
    EXPECT_EQ(seen->boxes[0].text,
              "Der ScreenShot wurde unter \"" + path +
                  "\" gespeichert.\n\nSoll der ScreenShot jetzt zur Kontrolle mit der "
                  "zuständigen Anwendung angezeigt werden?");
    EXPECT_EQ(seen->boxes[0].dialogCursor, Qt::WaitCursor);
    EXPECT_EQ(SaveDialog::instance().cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(host.saved);
    EXPECT_EQ(lastSaveFolder(), target.path() + "/");
    EXPECT_TRUE(samePixels(path, host.picture));
    EXPECT_EQ(QImage(path).format() == QImage::Format_Invalid, false);

    SaveDialog::instance().typeButton(SaveType::Jpg)->setChecked(true);
    auto second = scriptSave("zweites", {"Nein"});
    pressSave();
    EXPECT_EQ(second->dialogDirectory, target.path());
    EXPECT_EQ(second->proposedName, "Screen.jpg");
    EXPECT_TRUE(QFileInfo::exists(target.path() + "/zweites.jpg"));
}

TEST_F(SaveFlow, CancelLeavesDiskFolderAndFlagAlone) {
    setLastSaveFolder(target.path() + "/");
    host.saved = false;
    auto seen = scriptSave(QString());
    pressSave();
    EXPECT_TRUE(seen->dialogShown);
    EXPECT_TRUE(seen->boxes.isEmpty());
    EXPECT_EQ(lastSaveFolder(), target.path() + "/");
    EXPECT_FALSE(host.saved);
    EXPECT_TRUE(QDir(target.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_TRUE(QDir(sandbox.home() + "/Schreibtisch")
                    .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                    .isEmpty());
}

TEST_F(SaveFlow, ReadOnlyExistingFileIsReplaced) {
    const QString path = target.path() + "/alt.png";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("alter Inhalt");
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    auto seen = scriptSave(path, {"Ja", "Nein"});
    pressSave();
    ASSERT_EQ(seen->boxes.size(), 2);
    EXPECT_TRUE(seen->boxes[0].text.contains("alt.png")); // the dialog's overwrite question
    EXPECT_TRUE(seen->boxes[1].text.startsWith("Der ScreenShot wurde unter"));
    EXPECT_TRUE(samePixels(path, host.picture));
    EXPECT_TRUE(host.saved);
}

namespace {

// A folder in which nothing can be created, not even by root: made immutable with
// chattr +i (and read-only for everybody else). Empty path when the file system
// does not allow it.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& path) : path_(path) {
        QDir().mkpath(path_);
        QFile old(path_ + "/alt.png");
        if (old.open(QIODevice::WriteOnly)) old.write("alter Inhalt");
        old.close();
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                         QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        QProcess::execute("chattr", {"+i", path_});
        QFile probe(path_ + "/probe");
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            ok_ = false;
        }
    }
    ~UnwritableFolder() {
        QProcess::execute("chattr", {"-i", path_});
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool ok() const { return ok_; }

private:
    QString path_;
    bool ok_ = true;
};

} // namespace

TEST_F(SaveFlow, UnwritableFolderKeepsOldFileAndTellsWhy) {
    const QString folder = target.path() + "/gesperrt";
    UnwritableFolder guard(folder);
    if (!guard.ok()) GTEST_SKIP() << "no folder can be made unwritable here (chattr +i failed)";
    const QString path = folder + "/alt.png";
    host.saved = false;
    auto seen = scriptSave(path, {"Ja", "OK"});
    pressSave();
    ASSERT_EQ(seen->boxes.size(), 2);
    const QString failure = seen->boxes[1].text;
    EXPECT_TRUE(failure.contains("\"" + path + "\"")) << failure.toStdString();
    EXPECT_TRUE(failure.contains("Grund: ")) << failure.toStdString();
    EXPECT_EQ(readAll(path), QByteArray("alter Inhalt"));
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"alt.png"});
    EXPECT_FALSE(host.saved);
}

TEST_F(SaveFlow, GifIsAnEightBitPaletteFileAndBmpHas24Bits) {
    SaveDialog::instance().typeButton(SaveType::Gif)->setChecked(true);
    const QString gif = target.path() + "/bild.gif";
    auto seen = scriptSave(gif, {"Nein"});
    pressSave();
    const QByteArray g = readAll(gif);
    ASSERT_GE(g.size(), 13);
    EXPECT_TRUE(g.startsWith("GIF8"));
    const auto packed = static_cast<unsigned char>(g[10]);
    EXPECT_TRUE(packed & 0x80) << "global colour table";
    EXPECT_EQ(((packed >> 4) & 7) + 1, 8) << "8 bits of colour resolution";
    EXPECT_TRUE(samePixels(gif, host.picture));

    SaveDialog::instance().typeButton(SaveType::Bmp)->setChecked(true);
    const QString bmp = target.path() + "/bild.bmp";
    auto seenBmp = scriptSave(bmp, {"Nein"});
    pressSave();
    const QByteArray b = readAll(bmp);
    ASSERT_GE(b.size(), 54);
    EXPECT_TRUE(b.startsWith("BM"));
    EXPECT_EQ(static_cast<unsigned char>(b[28]), 24); // biBitCount
    EXPECT_TRUE(samePixels(bmp, host.picture));
}

TEST_F(SaveFlow, JpegWithTheChosenQuality) {
    SaveDialog::instance().typeButton(SaveType::Jpg)->setChecked(true);
    SaveDialog::instance().qualityBar()->setValue(40);
    EXPECT_EQ(SaveDialog::instance().qualityLabel()->text(), "40 %");
    const QString jpg = target.path() + "/bild.jpg";
    auto seen = scriptSave(jpg, {"Nein"});
    pressSave();
    QProcess identify;
    identify.start("identify", {"-format", "%Q", jpg});
    if (!identify.waitForFinished(10000) || identify.exitCode() != 0)
        GTEST_SKIP() << "identify is not available";
    EXPECT_EQ(identify.readAllStandardOutput().trimmed(), "40");
}

TEST_F(SaveFlow, WritesTheBannerWhileTheHostShowsIt) {
    // The main window hands over its banner gradient while nothing was captured.
    QImage banner(300, 120, QImage::Format_RGB32);
    QPainter p(&banner);
    QLinearGradient grad(0, 0, 300, 0);
    grad.setColorAt(0, QColor(0, 0, 255));
    grad.setColorAt(1, QColor(0, 0, 0));
    p.fillRect(banner.rect(), grad);
    p.end();
    host.picture = banner;
    const QString path = target.path() + "/banner.png";
    auto seen = scriptSave(path, {"Nein"});
    pressSave();
    EXPECT_TRUE(samePixels(path, banner));
}

TEST_F(SaveFlow, WithoutHostNothingIsWrittenAndTheUserIsTold) {
    setSaveHost(nullptr);
    const QString path = target.path() + "/nichts.png";
    auto seen = scriptSave(path, {"OK"});
    pressSave();
    ASSERT_EQ(seen->boxes.size(), 1);
    EXPECT_TRUE(seen->boxes[0].text.contains("nicht")) << seen->boxes[0].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(SaveFlow, YesWithoutAnApplicationForTheTypeOffersTheChooser) {
    // The sandbox has one viewer, and it only knows GIF files.
    sandbox.write("share/applications/gifschau.desktop",
                  "[Desktop Entry]\nType=Application\nName=GIF-Schau\nExec=true %f\n"
                  "MimeType=image/gif;\n");
    const QString path = target.path() + "/zeigen.png";
    QString chooserTitle;
    QStringList offered;
    auto seen = scriptSave(path, {"Ja"});
    whenModalOf<kamsulo::platform::AppChooser>(
        [&](kamsulo::platform::AppChooser* chooser) {
            chooserTitle = chooser->windowTitle();
            if (auto app = chooser->chosenApp()) offered << app->name;
            pressButton(chooser, "Abbrechen");
        },
        15000);
    pressSave();
    EXPECT_TRUE(waitFor([&] { return !chooserTitle.isEmpty(); }, 15000));
    EXPECT_EQ(chooserTitle, "Öffnen mit");
    EXPECT_EQ(offered, QStringList{"GIF-Schau"});
    EXPECT_TRUE(host.saved);
}

TEST_F(SaveFlow, ChooserOpensWithAnyPickedProgram) {
    const QString file = target.path() + "/zeigen.png";
    ASSERT_TRUE(host.picture.save(file));
    const QString marker = target.path() + "/gestartet";
    const QString program =
        sandbox.write("bin/zeiger", ("#!/bin/sh\necho \"$1\" > '" + marker + "'\n").toUtf8());
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QString pickTitle;
    whenModalOf<kamsulo::platform::AppChooser>([&](kamsulo::platform::AppChooser* chooser) {
        whenFileDialog([&](QFileDialog* pick) {
            pickTitle = pick->windowTitle();
            if (!typeAndAccept(pick, program)) pick->reject();
        });
        pressButton(chooser, "Anderes Programm...");
    });
    EXPECT_TRUE(kamsulo::platform::AppChooser::chooseAndOpen(file, nullptr));
    EXPECT_EQ(pickTitle, "Programm auswählen");
    EXPECT_TRUE(waitFor([&] { return QFileInfo::exists(marker); }, 5000));
    EXPECT_EQ(readAll(marker).trimmed(), file.toUtf8());
}
