#include "imaging/JpegWriter.h"

#include "imaging/ImagingStatus.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <new>
#include <vector>

namespace kamsulo::imaging {

namespace {

constexpr std::size_t OutputBufferSize = 1 << 16;

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
// longjmp.
bool encode(jpeg_compress_struct* info, ErrorManager* errors, Destination* dest,
            const Bitmap& bitmap, JSAMPROW* rows, int quality) {
    info->err = jpeg_std_error(&errors->base);
    errors->base.error_exit = onError;
    errors->base.emit_message = onMessage;
    if (setjmp(errors->jump)) {
        jpeg_destroy_compress(info);
        return false;
    }
    jpeg_create_compress(info);
    dest->base.init_destination = initDestination;
    dest->base.empty_output_buffer = emptyBuffer;
    dest->base.term_destination = termDestination;
    info->dest = &dest->base;

    info->image_width = static_cast<JDIMENSION>(bitmap.width());
    info->image_height = static_cast<JDIMENSION>(bitmap.height());
    info->input_components = 4;
    info->in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, quality, TRUE);
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

} // namespace

int writeJpeg(const Bitmap& bitmap, AtomicFile& file, int quality) {
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
    const bool ok = encode(&info, &errors, dest, bitmap, rows.data(), quality);
    delete dest;
    if (file.failed()) return SystemError;
    return ok ? Ok : GenericError;
}

} // namespace kamsulo::imaging
