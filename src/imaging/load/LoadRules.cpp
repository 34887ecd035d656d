#include "imaging/load/LoadRules.h"

#include "imaging/load/LoadTexts.h"

#include <QFileInfo>
#include <array>

namespace kamsulo::imaging {

namespace {

struct Ending {
    const char* text;
    ExtensionClass extension;
};

constexpr std::array<Ending, 15> Endings = {{
    {".bmp", ExtensionClass::Bitmap},
    {".dib", ExtensionClass::Bitmap},
    {".rle", ExtensionClass::Bitmap},
    {".ico", ExtensionClass::IconOrMetafile},
    {".cur", ExtensionClass::IconOrMetafile},
    {".emf", ExtensionClass::IconOrMetafile},
    {".wmf", ExtensionClass::IconOrMetafile},
    {".gif", ExtensionClass::ImagingFormat},
    {".png", ExtensionClass::ImagingFormat},
    {".tif", ExtensionClass::ImagingFormat},
    {".jpe", ExtensionClass::ImagingFormat},
    {".jpg", ExtensionClass::ImagingFormat},
    {".tiff", ExtensionClass::ImagingFormat},
    {".jpeg", ExtensionClass::ImagingFormat},
    {".jfif", ExtensionClass::ImagingFormat},
}};

} // namespace

QString trimSpaces(const QString& name) {
    qsizetype first = 0;
    qsizetype last = name.size();
    while (first < last && name.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && name.at(last - 1) == QLatin1Char(' '))
        --last;
    return name.mid(first, last - first);
}

ExtensionClass extensionClass(const QString& name) {
    const QString lower = name.toLower();
    for (const Ending& ending : Endings) {
        const QLatin1StringView text(ending.text);
        if (lower.endsWith(text)) return ending.extension;
    }
    return ExtensionClass::Unsupported;
}

DecoderBranch decoderBranch(ExtensionClass extension, const LoaderOptions& options) {
    switch (extension) {
    case ExtensionClass::Bitmap:
        return options.bitmapsViaImagingLibrary ? DecoderBranch::ImagingLibrary
                                                : DecoderBranch::PlatformPictureLoader;
    case ExtensionClass::IconOrMetafile:
        return DecoderBranch::PlatformPictureLoader;
    case ExtensionClass::ImagingFormat:
        return DecoderBranch::ImagingLibrary;
    case ExtensionClass::Unsupported:
        break;
    }
    return DecoderBranch::Refused;
}

bool admitsSize(QSize size, QSize maxSize, qint64 decodeLimitBytes) {
    if (!maxSize.isValid() || !size.isValid()) return true;
    return size.width() <= maxSize.width() && size.height() <= maxSize.height() &&
           qint64(size.width()) * size.height() * DecodedBytesPerPixel <= decodeLimitBytes;
}

FileCheck checkFile(const QString& fileName, const LoaderOptions& options) {
    FileCheck check;
    check.name = trimSpaces(fileName);
    const auto refuse = [&check](const char16_t* text) {
        check.refusal = QString::fromUtf16(text);
        return check;
    };
    if (check.name.isEmpty()) {
        check.empty = true;
        return check;
    }
    if (check.name.size() <= ShortestRefusedNameLength) return refuse(LoadText::BadFileName);
    // Hidden and read-only files are files like any other; a folder is none.
    const QFileInfo info(check.name);
    if (!info.isFile()) return refuse(LoadText::FileMissing);
    if (info.size() <= LargestEmptyFileSize) return refuse(LoadText::EmptyFile);
    check.branch = decoderBranch(extensionClass(check.name), options);
    if (check.branch == DecoderBranch::Refused) return refuse(LoadText::UnsupportedFormat);
    return check;
}

} // namespace kamsulo::imaging
