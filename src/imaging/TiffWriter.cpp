#include "imaging/TiffWriter.h"

#include "imaging/ImagingStatus.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <tiffio.h>
#include <unistd.h>
#include <vector>

namespace kamsulo::imaging {

namespace {

int logTiffMessage(TIFF*, void*, const char* module, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    qCDebug(lcImaging) << "tiff:" << (module ? module : "") << text;
    return 1;
}

std::uint16_t libtiffCompression(TiffCompression compression) {
    switch (compression) {
    case TiffCompression::Lzw:
        return COMPRESSION_LZW;
    case TiffCompression::CcittGroup3:
        return COMPRESSION_CCITTFAX3;
    case TiffCompression::CcittGroup4:
        return COMPRESSION_CCITTFAX4;
    case TiffCompression::CcittRle:
        return COMPRESSION_CCITTRLE;
    case TiffCompression::None:
        break;
    }
    return COMPRESSION_NONE;
}

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

bool writeTags(TIFF* tiff, const Bitmap& bitmap, TiffCompression compression) {
    const int bits = bitsPerPixel(bitmap.format());
    const std::uint16_t samples = bits == 24 ? 3 : bits == 32 ? 4 : 1;
    const std::uint16_t sampleBits = samples > 1 ? 8 : static_cast<std::uint16_t>(bits);
    const std::uint16_t libCompression = libtiffCompression(compression);
    bool ok =
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(bitmap.width())) &&
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(bitmap.height())) &&
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, sampleBits) &&
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples) &&
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, libCompression) &&
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 96.0) &&
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 96.0) &&
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (!ok) return false;
    if (bits == 1) {
        ok = TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    } else if (samples == 1) {
        const std::size_t count = std::size_t{1} << bits;
        std::vector<std::uint16_t> red(count, 0), green(count, 0), blue(count, 0);
        for (std::size_t i = 0; i < count && i < bitmap.palette.entries.size(); ++i) {
            const PaletteEntry& e = bitmap.palette.entries[i];
            red[i] = static_cast<std::uint16_t>(e.red * 257);
            green[i] = static_cast<std::uint16_t>(e.green * 257);
            blue[i] = static_cast<std::uint16_t>(e.blue * 257);
        }
        ok = TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE) &&
             TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    } else {
        ok = TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        if (ok && samples == 4) {
            const std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
            ok = TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
    }
    if (!ok) return false;
    const std::uint32_t rowsPerStrip =
        libCompression == COMPRESSION_NONE || libCompression == COMPRESSION_LZW
            ? TIFFDefaultStripSize(tiff, 0)
            : static_cast<std::uint32_t>(bitmap.height());
    return TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip) != 0;
}

bool writeRows(TIFF* tiff, const Bitmap& bitmap) {
    const int bits = bitsPerPixel(bitmap.format());
    const std::size_t width = static_cast<std::size_t>(bitmap.width());
    std::vector<std::uint8_t> row(bits >= 24 ? width * static_cast<std::size_t>(bits / 8)
                                             : bitmap.stride());
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* in = bitmap.scanLine(y);
        if (bits == 24) {
            for (std::size_t x = 0; x < width; ++x) {
                row[3 * x] = in[3 * x + 2];
                row[3 * x + 1] = in[3 * x + 1];
                row[3 * x + 2] = in[3 * x];
            }
        } else if (bits == 32) {
            for (std::size_t x = 0; x < width; ++x) {
                row[4 * x] = in[4 * x + 2];
                row[4 * x + 1] = in[4 * x + 1];
                row[4 * x + 2] = in[4 * x];
                row[4 * x + 3] = 255;
            }
        } else {
            std::copy(in, in + bitmap.stride(), row.begin());
        }
        if (TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0) < 0) return false;
    }
    return true;
}

// Writes the whole file through a duplicate of the file's descriptor.
int encode(const Bitmap& bitmap, AtomicFile& file, TiffCompression compression,
           TIFFOpenOptions* options) {
    const int fd = ::dup(file.descriptor());
    if (fd < 0) {
        file.fail(errno);
        return SystemError;
    }
    TIFF* tiff = TIFFFdOpenExt(fd, file.temporaryPath().c_str(), "w", options);
    if (!tiff) {
        ::close(fd);
        return GenericError;
    }
    bool ok = false;
    try {
        ok = writeTags(tiff, bitmap, compression) && writeRows(tiff, bitmap) &&
             TIFFWriteDirectory(tiff);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    ok = TIFFFlush(tiff) && ok;
    errno = 0;
    TIFFClose(tiff); // closes the duplicated descriptor
    if (!ok) {
        if (errno != 0) file.fail(errno);
        return file.failed() ? SystemError : GenericError;
    }
    return Ok;
}

// True when libtiff reads the bilevel bitmap back from the file pixel for pixel.
bool readsBack(const Bitmap& bitmap, AtomicFile& file, TIFFOpenOptions* options) {
    const int fd = ::dup(file.descriptor());
    if (fd < 0) return false;
    // libtiff reads the header from where the descriptor stands.
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        ::close(fd);
        return false;
    }
    TIFF* tiff = TIFFFdOpenExt(fd, file.temporaryPath().c_str(), "r", options);
    if (!tiff) {
        ::close(fd);
        return false;
    }
    const std::size_t wholeBytes = static_cast<std::size_t>(bitmap.width()) / 8;
    const int restBits = bitmap.width() % 8;
    const auto restMask = static_cast<std::uint8_t>(0xff00 >> restBits);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(
        std::max<tmsize_t>(TIFFScanlineSize(tiff), static_cast<tmsize_t>(bitmap.stride()))));
    bool same = true;
    for (int y = 0; same && y < bitmap.height(); ++y) {
        const std::uint8_t* drawn = bitmap.scanLine(y);
        same = TIFFReadScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0) >= 0 &&
               std::equal(drawn, drawn + wholeBytes, row.begin()) &&
               (restBits == 0 || ((drawn[wholeBytes] ^ row[wholeBytes]) & restMask) == 0);
    }
    TIFFClose(tiff);
    return same;
}

} // namespace

int writeTiff(const Bitmap& bitmap, AtomicFile& file, TiffCompression compression) {
    if (bitmap.isNull() || !isKnown(compression)) return InvalidParameter;
    const int bits = bitsPerPixel(bitmap.format());
    if (bits == 16) return InvalidParameter;
    if (isCcitt(compression) && bits != 1) return InvalidParameter;
    if (!file.flush()) return SystemError;

    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options) return OutOfMemory;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), logTiffMessage, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), logTiffMessage, nullptr);

    const int status = encode(bitmap, file, compression, options.get());
    if (status != Ok || !isCcitt(compression) || readsBack(bitmap, file, options.get()))
        return status;
    // libtiff's reader, which most programs here use, takes some CCITT strips of
    // its own writer wrongly; such a file would show other pixels. It is written
    // again uncompressed.
    qCDebug(lcImaging) << "tiff: the CCITT strips do not read back; written uncompressed";
    if (::ftruncate(file.descriptor(), 0) != 0 || ::lseek(file.descriptor(), 0, SEEK_SET) != 0) {
        file.fail(errno);
        return SystemError;
    }
    return encode(bitmap, file, TiffCompression::None, options.get());
}

} // namespace kamsulo::imaging
