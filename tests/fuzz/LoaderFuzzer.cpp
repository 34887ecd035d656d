// The image loader's whole path, from the name's checks to the opaque picture,
// for every ending: the file is written under that ending and loaded with the
// program's size limit. It must come back as a picture within the limit or as a
// German text, never both, never neither.
#include "FuzzSupport.h"
#include "LoaderInput.h"
#include "imaging/load/ImageLoader.h"
#include "imaging/load/LoadTexts.h"
#include "imaging/load/PngDecoder.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>

using namespace kamsulo;
using namespace kamsulo::fuzz;

namespace {

// What the main window allows: 16384 pixels a side.
const QSize LargestPicture(16384, 16384);

// A PNG that both the common decoder and Qt's reader decode comes out alike.
void compareWithQtsReader(const QByteArray& file) {
    const std::optional<QImage> common = imaging::decodeCommonPng(file, {});
    if (!common) return;
    QBuffer device;
    device.setData(file);
    device.open(QIODevice::ReadOnly);
    QImage qt = QImageReader(&device, "png").read();
    qt.setColorSpace(QColorSpace());
    check(qt.isNull() || qt == *common, "PNG decoded as Qt's reader does");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const LoaderInput input = LoaderInput::read(in);
    const QString path = scratchDir() + QLatin1Char('/') + input.fileName();
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly) && file.write(input.file) == input.file.size(),
              "write", path);
    }
    const imaging::LoadResult result = imaging::ImageLoader().load(path, LargestPicture);
    QFile::remove(path);
    compareWithQtsReader(input.file);

    const QImage& picture = result.picture;
    check(picture.isNull() != result.errorText.isEmpty(), "a picture or a text", result.errorText);
    check(!result.tooLarge || result.errorText == QString::fromUtf16(imaging::LoadText::TooLarge),
          "too large and its text");
    if (input.file.size() <= imaging::LargestEmptyFileSize)
        check(result.errorText == QString::fromUtf16(imaging::LoadText::EmptyFile), "empty file",
              result.errorText);
    else if (input.fileName().endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        check(result.errorText == QString::fromUtf16(imaging::LoadText::UnsupportedFormat),
              "unsupported ending", result.errorText);
    if (!picture.isNull()) {
        check(picture.format() == QImage::Format_RGB32, "opaque 32-bit picture");
        check(picture.width() <= LargestPicture.width() &&
                  picture.height() <= LargestPicture.height(),
              "within the limit");
    }
    return 0;
}
