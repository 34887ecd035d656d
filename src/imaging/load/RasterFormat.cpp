#include "imaging/load/RasterFormat.h"

#include <array>
#include <string_view>

namespace kamsulo::imaging {

namespace {

using namespace std::string_view_literals;

struct Signature {
    std::string_view bytes;
    RasterFormat format;
};

constexpr std::array<Signature, 11> Signatures = {{
    {"\x89PNG\r\n\x1a\n"sv, RasterFormat::Png},
    {"\xff\xd8\xff"sv, RasterFormat::Jpeg},
    {"GIF87a"sv, RasterFormat::Gif},
    {"GIF89a"sv, RasterFormat::Gif},
    {"BM"sv, RasterFormat::Bitmap},
    {"II*\0"sv, RasterFormat::Tiff},
    {"MM\0*"sv, RasterFormat::Tiff},
    {"II+\0"sv, RasterFormat::Tiff}, // BigTIFF
    {"MM\0+"sv, RasterFormat::Tiff},
    {"\0\0\1\0"sv, RasterFormat::Icon},
    {"\0\0\2\0"sv, RasterFormat::Icon}, // a cursor
}};

} // namespace

RasterFormat rasterFormat(const QByteArray& head) {
    for (const Signature& signature : Signatures)
        if (head.startsWith(
                QByteArrayView(signature.bytes.data(), qsizetype(signature.bytes.size()))))
            return signature.format;
    return RasterFormat::Unlisted;
}

QByteArray readerName(RasterFormat format) {
    switch (format) {
    case RasterFormat::Png:
        return "png";
    case RasterFormat::Jpeg:
        return "jpeg";
    case RasterFormat::Gif:
        return "gif";
    case RasterFormat::Bitmap:
        return "bmp";
    case RasterFormat::Tiff:
        return "tiff";
    case RasterFormat::Icon:
        return "ico";
    case RasterFormat::Unlisted:
        break;
    }
    return {};
}

} // namespace kamsulo::imaging
