// MainWindow: opening an image file onto the canvas, from the Open button or from
// the command line.
#include "annotate/Canvas.h"
#include "annotate/forms/PaletteStrip.h"
#include "app/Banner.h"
#include "app/DecodeWait.h"
#include "app/MainWindow.h"
#include "imaging/save/DesktopFolder.h"
#include "imaging/save/FileDialogs.h"
#include "imaging/save/SaveFormats.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
#include "platform/TimingTrace.h"

#include <QFileInfo>

namespace kamsulo::app {

using platform::BoxStyle;
using platform::messageBox;

namespace {

const QString kOpenFilter =
    QStringLiteral("PNG, BMP, JPG, JPEG, GIF, TIF, TIFF, WMF, RLE "
                   "(*.bmp;*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.wmf;*.rle;*.png)|"
                   "*.bmp;*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.wmf;*.rle;*.png");
const QString kOpenTitle =
    QStringLiteral("PNG, BMP, JPG, JPEG, GIF, TIF, TIFF, WMF, RLE (Bilddateien)");
const QString kOpenDefaultExt =
    QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.wmf;*.rle;*.png");

// The largest picture the program holds is this many pixels a side (an 8K screen is
// 7680 wide), and no more pixels than the loader decodes.
constexpr int kMaxPictureSide = 16384;

} // namespace

QSize MainWindow::largestPicture() {
    return {kMaxPictureSide, kMaxPictureSide};
}

void MainWindow::prepareForNewPicture() {
    canvas_->resetUndoIndexes();
    if (windows_.unloadSaveDialog) windows_.unloadSaveDialog();
    paletteStrip_->deselectAll();
}

bool MainWindow::openFromDialog() {
    prepareForNewPicture();
    QString folder = lastOpenFolder_.isEmpty() ? imaging::desktopFolder() : lastOpenFolder_;
    const QString name = imaging::FileDialogs::open(this, kOpenTitle, folder, QString(),
                                                    kOpenFilter, kOpenDefaultExt);
    folder = imaging::withTrailingSlash(folder);
    if (name.isEmpty()) return true;
    lastOpenFolder_ = folder;
    return loadPicture(folder + name);
}

void MainWindow::openFile(const QString& path) {
    prepareForNewPicture();
    // As if chosen in the file dialog: the next Open starts in the file's folder.
    if (const QFileInfo file(path.trimmed()); QFileInfo(file.absolutePath()).isDir())
        lastOpenFolder_ = imaging::withTrailingSlash(file.absolutePath());
    if (loadPicture(path)) updateCanvasToolTip();
}

bool MainWindow::loadPicture(const QString& path) {
    // The header is checked against the largest canvas before any pixel is decoded,
    // so a huge picture costs no memory; the decoding happens in the decoder process.
    const imaging::LoadResult loaded = sandboxedLoader().load(path, largestPicture());
    if (loaded.tooLarge) return refuseTooLarge();
    if (!loaded.errorText.isEmpty())
        messageBox(loaded.errorText, BoxStyle::OkExclamation, QStringLiteral("Kamsulo - Info"),
                   this);
    return showNewPicture(loaded.picture);
}

bool MainWindow::showNewPicture(const QImage& picture) {
    if (!imaging::admitsSize(picture.size(), largestPicture(),
                             imaging::LoaderOptions().decodeLimitBytes))
        return refuseTooLarge();
    canvas_->setPicture(picture);
    shotSaved_ = false;
    canvas_->newPictureReset();
    paletteStrip_->setEnabled(true);
    banner_->hide();
    resetScrollBars();
    // Centred now, not only on the window's next exposure, which may never come (no
    // file dialog closed over the window, say, for a file given at start).
    centreCanvas();
    platform::traceTiming("picture-shown");
    return true;
}

bool MainWindow::refuseTooLarge() {
    shotSaved_ = false;
    canvas_->clearPicture();
    messageBox(QStringLiteral("Die ScreenShotDatei ist zu gross! Die Datei kann nicht geladen "
                              "werden."),
               BoxStyle::OkExclamation, platform::AppInfo::exeName(), this);
    return false;
}

} // namespace kamsulo::app
