// The file dialogs, driven through the real dialog.
#include "imaging/save/FileDialogs.h"
#include "FileDialogDriver.h"
#include "support/modal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kamsulo::imaging;
using namespace kamsulo::test;

namespace {

struct Seen {
    QString title;
    QString directory;
    QString proposed;
    QStringList filters;
    QString selectedFilter;
    bool save = false;
    bool typed = false;
};

// Records what the dialog shows, then types `name` and accepts (or cancels when
// `name` is empty).
void answerWith(Seen& seen, const QString& name) {
    whenModal([&seen, name](QWidget* w) {
        QFileDialog* dlg = asFileDialog(w);
        if (!dlg) return;
        seen.title = dlg->windowTitle();
        seen.directory = dlg->directory().absolutePath();
        seen.proposed = fileNameEdit(dlg) ? fileNameEdit(dlg)->text() : QString();
        seen.filters = dlg->nameFilters();
        seen.selectedFilter = dlg->selectedNameFilter();
        seen.save = dlg->acceptMode() == QFileDialog::AcceptSave;
        if (name.isEmpty())
            pressButton(dlg, QStringLiteral("Abbrechen"));
        else
            seen.typed = typeAndAccept(dlg, name);
    });
}

} // namespace

TEST(FileDialogs, ChosenFileReturnsNameAndSetsFolderWithSlash) {
    QTemporaryDir tmp;
    QDir(tmp.path()).mkdir("Bilder");
    const QString bilder = tmp.path() + "/Bilder";
    QString folder = bilder;
    Seen seen;
    answerWith(seen, "Test.png");
    const QString name = FileDialogs::save(nullptr, "Bild speichern unter", folder, "Screen.png",
                                           "PNG-Datei (*.png)|*.png", "*.png");
    EXPECT_TRUE(seen.typed);
    EXPECT_EQ(name, "Test.png");
    EXPECT_EQ(folder, bilder + "/");
    EXPECT_EQ(seen.title, "Bild speichern unter");
    EXPECT_EQ(seen.directory, bilder);
    EXPECT_EQ(seen.proposed, "Screen.png");
    EXPECT_EQ(seen.filters, QStringList{"PNG-Datei (*.png)"});
    EXPECT_EQ(seen.selectedFilter, "PNG-Datei (*.png)");
    EXPECT_TRUE(seen.save);
}

TEST(FileDialogs, TypedNameWithoutSuffixGetsTheDefaultOne) {
    QTemporaryDir tmp;
    QString folder = tmp.path();
    Seen seen;
    answerWith(seen, "bild");
    EXPECT_EQ(
        FileDialogs::save(nullptr, "T", folder, "Screen.jpg", "JPG-Datei (*.jpg)|*.jpg", "*.jpg"),
        "bild.jpg");
}

TEST(FileDialogs, TypedFullPathSetsItsFolder) {
    QTemporaryDir start, other;
    QString folder = start.path();
    Seen seen;
    answerWith(seen, other.path() + "/x.bmp");
    EXPECT_EQ(
        FileDialogs::save(nullptr, "T", folder, "Screen.bmp", "BMP-Datei (*.bmp)|*.bmp", "*.bmp"),
        "x.bmp");
    EXPECT_EQ(folder, other.path() + "/");
}

TEST(FileDialogs, CancelReturnsEmptyAndKeepsFolder) {
    QTemporaryDir tmp;
    QString folder = tmp.path(); // without its slash, exactly as passed in
    Seen seen;
    answerWith(seen, QString());
    EXPECT_EQ(
        FileDialogs::save(nullptr, "T", folder, "Screen.png", "PNG-Datei (*.png)|*.png", "*.png"),
        "");
    EXPECT_EQ(folder, tmp.path());
    EXPECT_FALSE(seen.title.isEmpty()); // the dialog was really there
}

TEST(FileDialogs, EmptyFolderLetsTheDialogChoose) {
    QTemporaryDir tmp;
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(tmp.path());
    QString folder;
    Seen seen;
    answerWith(seen, "leer.png");
    const QString name =
        FileDialogs::save(nullptr, "T", folder, "Screen.png", "PNG-Datei (*.png)|*.png", "*.png");
    QDir::setCurrent(cwd);
    EXPECT_EQ(name, "leer.png");
    EXPECT_EQ(folder, QDir(tmp.path()).canonicalPath() + "/");
}

TEST(FileDialogs, SaveAsksBeforeOverwriting) {
    QTemporaryDir tmp;
    QFile f(tmp.path() + "/alt.png");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString folder = tmp.path();
    Seen seen;
    QString question;
    answerWith(seen, "alt.png");
    // The overwrite question comes as a second modal box on top of the dialog.
    whenMessageBox([&question](QMessageBox* box) {
        question = box->text();
        pressButton(box, QStringLiteral("Ja"));
    });
    const QString name =
        FileDialogs::save(nullptr, "T", folder, "Screen.png", "PNG-Datei (*.png)|*.png", "*.png");
    EXPECT_EQ(name, "alt.png");
    EXPECT_TRUE(question.contains("alt.png")) << question.toStdString();
}

TEST(FileDialogs, OpenAcceptsOnlyExistingFiles) {
    QTemporaryDir tmp;
    QFile f(tmp.path() + "/da.png");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString folder = tmp.path();
    bool refused = false;
    whenModal([&refused](QWidget* w) {
        QFileDialog* dlg = asFileDialog(w);
        if (!dlg) return;
        // A missing name leaves the accept button disabled.
        fileNameEdit(dlg)->setText("fehlt.png");
        refused = !typeAndAccept(dlg, "fehlt.png") && dlg->isVisible();
        typeAndAccept(dlg, "da.png");
    });
    const QString name =
        FileDialogs::open(nullptr, "Öffnen", folder, "", "Bilder|*.png;*.bmp", "*.png;*.bmp");
    EXPECT_TRUE(refused);
    EXPECT_EQ(name, "da.png");
    EXPECT_EQ(folder, tmp.path() + "/");
}

TEST(FileDialogs, ATypedNameWithQuotesIsOneName) {
    // Qt's dialog alone would read the quotes as separators and open "Oma".
    QTemporaryDir tmp;
    for (const char* name : {"Foto \"Oma\".png", "Oma"}) {
        QFile f(tmp.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString folder = tmp.path();
    whenModal([](QWidget* w) {
        QLineEdit* edit = fileNameEdit(asFileDialog(w));
        if (!edit) return;
        QApplication::setActiveWindow(w);
        edit->setFocus();
        QTest::keyClicks(edit, "Foto \"Oma\".png");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    const QString name =
        FileDialogs::open(nullptr, "Öffnen", folder, "", "Bilder|*.png;*", "*.png;*");
    EXPECT_EQ(name.toStdString(), "Foto \"Oma\".png");
}
