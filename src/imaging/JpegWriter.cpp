#include "imaging/JpegWriter.h"

#include "imaging/ImagingStatus.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace kamsulo::imaging {

namespace {

constexpr std::size_t OutputBufferSize = 1 << 16;
// Pictures of this many pixels and more are coded in two bands at once.
constexpr std::size_t BandedPixels = std::size_t{1} << 16;
// The rows of one MCU with the default subsampling, and the largest restart interval a
// file can name.
constexpr std::size_t McuSide = 16;
constexpr std::size_t MostRestartInterval = 0xffff;
constexpr unsigned char StartOfFrame = 0xc0, StartOfScan = 0xda, FirstRestart = 0xd0,
                        EndOfImage = 0xd9;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

struct Destination {
    jpeg_destination_mgr base;
    AtomicFile* file;
    JOCTET buffer[OutputBufferSize];
};

void onError(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    qCDebug(lcImaging) << "jpeg:" << text;
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr, int) {}

void initDestination(j_compress_ptr info) {
    auto* dest = reinterpret_cast<Destination*>(info->dest);
    dest->base.next_output_byte = dest->buffer;
    dest->base.free_in_buffer = OutputBufferSize;
}

boolean emptyBuffer(j_compress_ptr info) {
    auto* dest = reinterpret_cast<Destination*>(info->dest);
    dest->file->write(dest->buffer, OutputBufferSize); // failures are checked at the end
    dest->base.next_output_byte = dest->buffer;
    dest->base.free_in_buffer = OutputBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr info) {
    auto* dest = reinterpret_cast<Destination*>(info->dest);
    dest->file->write(dest->buffer, OutputBufferSize - dest->base.free_in_buffer);
}

// Kept free of objects with destructors: the library's errors return here by
// longjmp. `attach` gives the compressor its destination; `restartInterval` in MCUs,
// 0 for none.
bool encode(jpeg_compress_struct* info, ErrorManager* errors, void (*attach)(j_compress_ptr, void*),
            void* target, const Bitmap& bitmap, JSAMPROW* rows, JDIMENSION height, int quality,
            unsigned restartInterval) {
    info->err = jpeg_std_error(&errors->base);
    errors->base.error_exit = onError;
    errors->base.emit_message = onMessage;
    if (setjmp(errors->jump)) {
        jpeg_destroy_compress(info);
        return false;
    }
    jpeg_create_compress(info);
    attach(info, target);

    info->image_width = static_cast<JDIMENSION>(bitmap.width());
    info->image_height = height;
    info->input_components = 4;
    info->in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, quality, TRUE);
    info->restart_interval = restartInterval;
    info->density_unit = 1;
    info->X_density = 96;
    info->Y_density = 96;
    jpeg_start_compress(info, TRUE);
    // All rows in one call; the library takes them a band at a time.
    while (info->next_scanline < info->image_height)
        jpeg_write_scanlines(info, rows + info->next_scanline,
                             info->image_height - info->next_scanline);
    jpeg_finish_compress(info);
    jpeg_destroy_compress(info);
    return true;
}

void attachFile(j_compress_ptr info, void* target) {
    auto* dest = static_cast<Destination*>(target);
    dest->base.init_destination = initDestination;
    dest->base.empty_output_buffer = emptyBuffer;
    dest->base.term_destination = termDestination;
    info->dest = &dest->base;
}

// One band's stream, in memory that the library allocates.
struct Band {
    unsigned char* data = nullptr;
    unsigned long size = 0;
    bool encoded = false;
    ~Band() { std::free(data); }
};

void attachMemory(j_compress_ptr info, void* target) {
    auto* band = static_cast<Band*>(target);
    jpeg_mem_dest(info, &band->data, &band->size);
}

void encodeBand(const Bitmap& bitmap, JSAMPROW* rows, JDIMENSION height, int quality,
                unsigned restartInterval, Band& band) {
    jpeg_compress_struct info{};
    ErrorManager errors{};
    band.encoded =
        encode(&info, &errors, attachMemory, &band, bitmap, rows, height, quality, restartInterval);
}

// Where a band's parts lie: its frame header's height field, and its entropy-coded
// data (after the scan header, before the end marker).
struct BandLayout {
    std::size_t heightAt = 0;
    std::size_t dataAt = 0;
    std::size_t dataEnd = 0;
};

std::optional<BandLayout> layoutOf(const Band& band) {
    const unsigned char* d = band.data;
    const std::size_t size = band.size;
    if (!band.encoded || size < 4 || d[size - 2] != 0xff || d[size - 1] != EndOfImage)
        return std::nullopt;
    BandLayout layout;
    for (std::size_t at = 2; at + 4 <= size;) {
        if (d[at] != 0xff) return std::nullopt;
        const unsigned char marker = d[at + 1];
        const std::size_t length = std::size_t(d[at + 2]) << 8 | d[at + 3];
        if (marker == StartOfFrame) layout.heightAt = at + 5;
        if (marker == StartOfScan) {
            layout.dataAt = at + 2 + length;
            layout.dataEnd = size - 2;
            if (layout.heightAt == 0 || layout.dataAt > layout.dataEnd) return std::nullopt;
            return layout;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// A large picture is coded in two bands at once, the lower on a thread of its own,
// and joined by a restart marker: at a restart the decoder starts its predictions
// anew, as the lower band's coder did, so that the file decodes to the very pixels of
// one pass with that restart interval. Bands are whole rows of MCUs (16 pixels with
// the default 2x2 subsampling), so that no chroma sample spans two bands. Nothing when
// the picture is too small to be worth it or a band failed.
// A 4K JPEG save, bench_imaging_save taking turns: about 17 ms in two bands, 26 in one.
std::optional<std::vector<unsigned char>> twoBands(const Bitmap& bitmap, JSAMPROW* rows,
                                                   int quality) {
    const auto width = static_cast<std::size_t>(bitmap.width());
    const auto height = static_cast<std::size_t>(bitmap.height());
    const std::size_t mcuRows = (height + McuSide - 1) / McuSide;
    const std::size_t upperRows = (mcuRows + 1) / 2 * McuSide;
    const std::size_t interval = (width + McuSide - 1) / McuSide * (upperRows / McuSide);
    if (width * height < BandedPixels || upperRows >= height || interval > MostRestartInterval)
        return std::nullopt;
    Band upper, lower;
    const auto encodeLower = [&] {
        encodeBand(bitmap, rows + upperRows, JDIMENSION(height - upperRows), quality,
                   unsigned(interval), lower);
    };
    std::thread worker;
    try {
        worker = std::thread(encodeLower);
    } catch (const std::system_error&) {
        encodeLower(); // no thread to be had
    }
    encodeBand(bitmap, rows, JDIMENSION(upperRows), quality, unsigned(interval), upper);
    if (worker.joinable()) worker.join();
    const std::optional<BandLayout> top = layoutOf(upper), bottom = layoutOf(lower);
    if (!top || !bottom) return std::nullopt;
    std::vector<unsigned char> file(upper.data, upper.data + top->dataEnd);
    file[top->heightAt] = static_cast<unsigned char>(height >> 8);
    file[top->heightAt + 1] = static_cast<unsigned char>(height);
    file.insert(file.end(), {0xff, FirstRestart});
    file.insert(file.end(), lower.data + bottom->dataAt, lower.data + bottom->dataEnd);
    file.insert(file.end(), {0xff, EndOfImage});
    return file;
}

} // namespace

int writeJpeg(const Bitmap& bitmap, AtomicFile& file, int quality, JpegPasses passes) {
    if (bitmap.isNull() || bitmap.width() > JPEG_MAX_DIMENSION ||
        bitmap.height() > JPEG_MAX_DIMENSION)
        return InvalidParameter;
    if (bitmap.format() != PixelFormat::Rgb32) return InvalidParameter;
    jpeg_compress_struct info{};
    ErrorManager errors{};
    auto* dest = new (std::nothrow) Destination{};
    if (!dest) return OutOfMemory;
    dest->file = &file;
    std::vector<JSAMPROW> rows;
    try {
        rows.resize(static_cast<std::size_t>(bitmap.height()));
    } catch (const std::bad_alloc&) {
        delete dest;
        return OutOfMemory;
    }
    for (int y = 0; y < bitmap.height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<JSAMPROW>(bitmap.scanLine(y));
    bool ok = false;
    try {
        if (std::optional<std::vector<unsigned char>> banded =
                passes == JpegPasses::One ? std::nullopt : twoBands(bitmap, rows.data(), quality)) {
            file.write(banded->data(), banded->size());
            ok = true;
        }
    } catch (const std::bad_alloc&) {
        delete dest;
        return OutOfMemory;
    }
    if (!ok)
        ok = encode(&info, &errors, attachFile, dest, bitmap, rows.data(),
                    JDIMENSION(bitmap.height()), quality, 0);
    delete dest;
    if (file.failed()) return SystemError;
    return ok ? Ok : GenericError;
}

} // namespace kamsulo::imaging
