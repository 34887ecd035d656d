#include "imaging/save/FileFilter.h"
#include "imaging/save/SaveFormats.h"

#include <gtest/gtest.h>

using namespace kamsulo::imaging;

TEST(FileFilter, OnePairBecomesOneNameFilter) {
    EXPECT_EQ(parseFilter("BMP-Datei (*.bmp)|*.bmp"),
              (QList<FilterPair>{{"BMP-Datei (*.bmp)", {"*.bmp"}}}));
    EXPECT_EQ(fileDialogFilters("BMP-Datei (*.bmp)|*.bmp"), QStringList{"BMP-Datei (*.bmp)"});
    EXPECT_EQ(fileDialogFilters("JPG-Datei (*.jpg)|*.jpg"), QStringList{"JPG-Datei (*.jpg)"});
}

TEST(FileFilter, SeveralPairsKeepTheirOrder) {
    EXPECT_EQ(fileDialogFilters("Bilder|*.png|Alle Dateien|*.*"),
              (QStringList{"Bilder (*.png)", "Alle Dateien (*.*)"}));
}

TEST(FileFilter, SemicolonListsBecomeBlankSeparatedPatterns) {
    const QString open = "PNG, BMP, JPG, JPEG, GIF, TIF, TIFF, WMF, RLE "
                         "(*.bmp;*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.wmf;*.rle;*.png)|"
                         "*.bmp;*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.wmf;*.rle;*.png";
    EXPECT_EQ(fileDialogFilters(open),
              QStringList{"PNG, BMP, JPG, JPEG, GIF, TIF, TIFF, WMF, RLE "
                          "(*.bmp *.jpg *.jpeg *.gif *.tif *.tiff *.wmf *.rle *.png)"});
    // A description that names other patterns than it filters gets the real ones.
    EXPECT_EQ(fileDialogFilters("Bilder (alle)|*.png;*.gif"),
              QStringList{"Bilder (alle) (*.png *.gif)"});
}

TEST(FileFilter, EmptyElementEndsTheList) {
    EXPECT_TRUE(fileDialogFilters("").isEmpty());
    EXPECT_EQ(fileDialogFilters("A|*.a||B|*.b"), QStringList{"A (*.a)"});
    EXPECT_EQ(fileDialogFilters("A|*.a|B"), QStringList{"A (*.a)"}); // no pattern for B
}

TEST(FileFilter, DefaultSuffixFromThePattern) {
    EXPECT_EQ(defaultSuffix("*.png"), "png");
    EXPECT_EQ(defaultSuffix(".jpg"), "jpg");
    EXPECT_EQ(defaultSuffix("gif"), "gif");
    EXPECT_EQ(defaultSuffix("*.bmp;*.jpg"), "");
    EXPECT_EQ(defaultSuffix("*.*"), "");
    EXPECT_EQ(defaultSuffix(""), "");
}

TEST(SaveFormats, ATypeOutsideTheTableIsPng) {
    EXPECT_EQ(saveFormat(static_cast<SaveType>(7)).defaultName, "Screen.png");
}

TEST(SaveFormats, FolderAndPathDecisions) {
    EXPECT_EQ(startFolder("", "/home/u/Schreibtisch"), "/home/u/Schreibtisch");
    EXPECT_EQ(startFolder("/tmp/bilder/", "/home/u/Schreibtisch"), "/tmp/bilder/");
    EXPECT_EQ(savePath("/tmp/bilder", "a.png"), "/tmp/bilder/a.png");
    EXPECT_EQ(savePath("/tmp/bilder/", "a.png"), "/tmp/bilder/a.png");
    EXPECT_EQ(savePath("/", "a.png"), "/a.png");
    EXPECT_EQ(withTrailingSlash(""), "");
}

TEST(SaveFormats, Texts) {
    EXPECT_EQ(qualityCaption(40), "40 %");
    EXPECT_EQ(confirmationText("/tmp/a.png"),
              "Der ScreenShot wurde unter \"/tmp/a.png\" gespeichert.\n\nSoll der ScreenShot "
              "jetzt zur Kontrolle mit der zuständigen Anwendung angezeigt werden?");
    const QString failed = saveFailedText("/tmp/x/a.png", "Keine Berechtigung");
    EXPECT_TRUE(failed.contains("\"/tmp/x/a.png\"")) << failed.toStdString();
    EXPECT_TRUE(failed.contains("Keine Berechtigung"));
}
