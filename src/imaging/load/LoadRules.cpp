#include "imaging/load/LoadRules.h"

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

} // namespace kamsulo::imaging
