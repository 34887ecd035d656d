// MainWindow: the shown picture to the clipboard, and a picture from the clipboard
// onto the canvas through the small corner label.
#include "annotate/Canvas.h"
#include "annotate/forms/PaletteStrip.h"
#include "app/Banner.h"
#include "app/DecodeWait.h"
#include "app/MainWindow.h"
#include "platform/MessageBox.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace kamsulo::app {

using platform::BoxStyle;
using platform::messageBox;

namespace {

// Qt's name for a picture without a named encoding; another program's bytes under it
// are as foreign as any others.
const QLatin1String QtImageType("application/x-qt-image");

// The encoded picture another program offers: the bytes of its first image type, Qt's
// own among them.
QByteArray offeredPicture(const QMimeData* data) {
    if (!data) return {};
    for (const QString& format : data->formats()) {
        if (!format.startsWith(QLatin1String("image/")) && format != QtImageType) continue;
        if (QByteArray bytes = data->data(format); !bytes.isEmpty()) return bytes;
    }
    return {};
}

} // namespace

void MainWindow::copyToClipboard() {
    // PNG and BMP as well as Qt's own image type, so that any program can take it.
    const QImage picture = pictureToSave();
    // Nothing to copy (a refused paste left the canvas empty): the clipboard is taken
    // with nothing on it, rather than offering image types without content.
    if (picture.isNull()) {
        QGuiApplication::clipboard()->setMimeData(new QMimeData);
        return;
    }
    auto* data = new QMimeData;
    data->setImageData(picture);
    for (const char* format : {"PNG", "BMP"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, format);
        data->setData(QStringLiteral("image/%1").arg(QString::fromLatin1(format).toLower()), bytes);
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

void MainWindow::pasteFromClipboard() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    pasteFrom(clipboard->mimeData(),
              clipboard->ownsClipboard() ? DataOrigin::ThisProgram : DataOrigin::OtherProgram);
}

void MainWindow::pasteFrom(const QMimeData* data, DataOrigin origin) {
    // Read before the question: while its box has the focus, a Wayland clipboard
    // replaces (and deletes) the data it handed out. The program's own picture is taken
    // as it is; Qt would decode another program's in this process, with every reader it has.
    const bool own = origin == DataOrigin::ThisProgram && data && data->hasImage();
    QImage picture = own ? qvariant_cast<QImage>(data->imageData()) : QImage();
    const QByteArray bytes = picture.isNull() ? offeredPicture(data) : QByteArray();
    if (askToSaveFirst()) return;
    prepareForNewPicture();
    // The other program's bytes are decoded in the decoder process, like a file's.
    if (!bytes.isEmpty()) {
        const imaging::LoadResult decoded = sandboxedLoader().decode(bytes, largestPicture());
        if (decoded.tooLarge) {
            refuseTooLarge();
            return;
        }
        if (decoded.decoderFault) {
            messageBox(decoded.errorText, BoxStyle::OkExclamation, QStringLiteral("Kamsulo - Info"),
                       this);
            canvas_->clearPicture();
            return;
        }
        picture = decoded.picture;
    }
    if (picture.isNull()) {
        messageBox(QStringLiteral("Die Daten aus der Zwischenablage können nicht angezeigt "
                                  "werden!"),
                   BoxStyle::Ok, QString(), this);
        canvas_->clearPicture();
        return;
    }
    showNewPicture(picture);
}

} // namespace kamsulo::app
