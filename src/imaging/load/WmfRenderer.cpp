#include "imaging/load/WmfRenderer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

// libwmf's headers define short macro names that clash with Qt's: they come last.
#include <libwmf/api.h>
#include <libwmf/gd.h>

namespace kamsulo::imaging {

namespace {

constexpr qsizetype PlaceableHeaderBytes = 22;
constexpr std::uint16_t MetaSetWindowOrg = 0x020B;
constexpr std::uint16_t MetaSetWindowExt = 0x020C;
constexpr std::uint16_t MetaEof = 0x0000;
constexpr qsizetype RecordHeaderBytes = 6; // size in words, function
// In the plain header: its own size in words (after its type), and the word count of
// the largest record (after size, version, file size and object count).
constexpr qsizetype HeaderWordsAt = PlaceableHeaderBytes + 2;
constexpr std::uint16_t PlainHeaderWords = 9;
constexpr qsizetype MaxRecordAt = PlaceableHeaderBytes + 12;
// Where the device-independent bitmap starts in the records that carry one, and
// where the height of its destination is, followed by its width (0: none).
struct BitmapRecord {
    std::uint16_t function;
    qsizetype bitmapAt;
    qsizetype destinationAt;
};
constexpr BitmapRecord BitmapRecords[] = {
    {0x0940, 22, 14}, // DIBBitBlt
    {0x0B41, 26, 18}, // DIBStretchBlt
    {0x0F43, 28, 20}, // StretchDIB
    {0x0D33, 24, 16}, // SetDIBitsToDevice
    {0x0142, 10, 0},  // DIBCreatePatternBrush
};
// How many times the picture's area a bitmap may be stretched over.
constexpr double MaxStretchOverPicture = 4;
constexpr std::uint32_t CoreHeaderBytes = 12;
// The bitmap headers: core, info, info with masks, with alpha mask, OS/2, v4, v5.
constexpr std::uint32_t BitmapHeaderSizes[] = {CoreHeaderBytes, 40, 52, 56, 64, 108, 124};
constexpr double PointsPerInch = 72.0;

std::uint32_t u32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::int16_t i16(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return static_cast<std::int16_t>(p[0] | p[1] << 8);
}
std::uint16_t u16(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint16_t>(i16(b, at));
}

// Which records forEachRecord visits: those up to the end record, or all that the
// file holds (libwmf reads on past an end record that is longer than one).
enum class Records { UpToEnd, WholeFile };

// Calls visit(at, end, function) for each record; `end` is where the record ends,
// within the file.
template <typename Visit>
void forEachRecord(const QByteArray& file, Visit visit, Records records = Records::UpToEnd) {
    // The plain header follows the placeable one; its second word is its size in words.
    qsizetype at = PlaceableHeaderBytes;
    if (file.size() < at + 4) return;
    at += qsizetype(u16(file, at + 2)) * 2;
    while (at + RecordHeaderBytes <= file.size()) {
        const qint64 words = u32(file, at);
        const std::uint16_t function = u16(file, at + 4);
        if (words < 3 || (function == MetaEof && records == Records::UpToEnd)) return;
        const qsizetype end = std::min<qint64>(at + words * 2, file.size());
        if (!visit(at, end, function)) return;
        at += words * 2;
    }
}

// libwmf makes room for the largest record that the plain header names before it
// reads any: a header naming a record larger than the file asks it for gigabytes.
// The records are checked where libwmf finds them: after a plain header of its one size.
bool largestRecordFitsFile(const QByteArray& file) {
    if (file.size() < MaxRecordAt + 4 || u16(file, HeaderWordsAt) != PlainHeaderWords) return false;
    return qint64(u32(file, MaxRecordAt)) * 2 <= file.size() - PlaceableHeaderBytes;
}

// libwmf's bitmap reader never comes back from a bitmap header of a size it does not
// know: every bitmap a record carries must have a whole header of one of the known
// sizes. A record carries one when it is longer than its parameters without it (the
// high byte of its function is their count).
bool bitmapHeadersKnown(const QByteArray& file) {
    bool known = true;
    forEachRecord(
        file,
        [&](qsizetype at, qsizetype end, std::uint16_t function) {
            for (const BitmapRecord& record : BitmapRecords) {
                if (record.function != function || end - at <= ((function >> 8) + 3) * 2) continue;
                const qsizetype bitmap = at + record.bitmapAt;
                const std::uint32_t headerBytes = bitmap + 4 <= end ? u32(file, bitmap) : 0;
                known = std::find(std::begin(BitmapHeaderSizes), std::end(BitmapHeaderSizes),
                                  headerBytes) != std::end(BitmapHeaderSizes) &&
                        bitmap + qsizetype(headerBytes) <= end;
            }
            return known;
        },
        Records::WholeFile);
    return known;
}

// Whether libwmf can draw every bitmap where its record puts it, the window filling a
// picture of `size`. libwmf stretches the whole bitmap before it clips it to the
// picture, which takes it seconds for a destination far larger than the picture, and
// it loses itself in one of negative extent (a mirrored bitmap).
bool bitmapDestinationsDrawable(const QByteArray& file, const QRectF& window, QSize size) {
    if (window.isEmpty()) return true;
    const double pixelsPerUnit = size.width() / window.width() * size.height() / window.height();
    const double largest = MaxStretchOverPicture * size.width() * size.height();
    bool drawable = true;
    forEachRecord(
        file,
        [&](qsizetype at, qsizetype end, std::uint16_t function) {
            for (const BitmapRecord& record : BitmapRecords) {
                const qsizetype destination = at + record.destinationAt;
                if (record.function != function || record.destinationAt == 0 ||
                    destination + 4 > end)
                    continue;
                const double high = i16(file, destination);
                const double wide = i16(file, destination + 2);
                drawable = high >= 0 && wide >= 0 && high * wide * pixelsPerUnit <= largest;
            }
            return drawable;
        },
        Records::WholeFile);
    return drawable;
}

// libwmf's memory comes through here: an allocation beyond the limit fails, which
// libwmf reports as a lack of memory, instead of taking what a damaged record asks for.
struct LimitedAllocator {
    std::size_t limit;

    static void* allocate(void* self, std::size_t bytes) {
        return bytes > static_cast<LimitedAllocator*>(self)->limit ? nullptr : std::malloc(bytes);
    }
    static void* reallocate(void* self, void* memory, std::size_t bytes) {
        return bytes > static_cast<LimitedAllocator*>(self)->limit ? nullptr
                                                                   : std::realloc(memory, bytes);
    }
    static void release(void*, void* memory) { std::free(memory); }
};

struct ApiDeleter {
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};

using Api = std::unique_ptr<wmfAPI, ApiDeleter>;

// libwmf's state for one picture, made ahead, and its allocator.
LimitedAllocator preparedAllocator{SIZE_MAX};
Api preparedApi;

Api createApi(LimitedAllocator* allocator) {
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    options.context = allocator;
    options.malloc = LimitedAllocator::allocate;
    options.realloc = LimitedAllocator::reallocate;
    options.free = LimitedAllocator::release;
    const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL |
                                WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* raw = nullptr;
    if (wmf_api_create(&raw, flags, &options) != wmf_E_None) {
        if (raw) wmf_api_destroy(raw);
        return nullptr;
    }
    return Api(raw);
}

} // namespace

QRectF wmfWindow(const QByteArray& file, const PlaceableWmfHeader& header) {
    std::optional<QPointF> origin;
    std::optional<QSizeF> extent;
    forEachRecord(file, [&](qsizetype at, qsizetype end, std::uint16_t function) {
        if (at + RecordHeaderBytes + 4 <= end) {
            // Both records hold y before x.
            const double y = i16(file, at + RecordHeaderBytes);
            const double x = i16(file, at + RecordHeaderBytes + 2);
            if (function == MetaSetWindowOrg && !origin) origin = QPointF(x, y);
            if (function == MetaSetWindowExt && !extent) extent = QSizeF(x, y);
        }
        return !origin || !extent;
    });
    const QRectF box(QPointF(header.box.left(), header.box.top()),
                     QPointF(header.box.right(), header.box.bottom()));
    if (!extent || extent->width() == 0 || extent->height() == 0) return box;
    return QRectF(origin.value_or(box.topLeft()), *extent);
}

qint64 largestWmfBitmap(const QByteArray& file) {
    qint64 largest = 0;
    forEachRecord(
        file,
        [&](qsizetype at, qsizetype end, std::uint16_t function) {
            for (const BitmapRecord& record : BitmapRecords) {
                const qsizetype bitmap = at + record.bitmapAt;
                if (record.function != function || bitmap + qsizetype(CoreHeaderBytes) > end)
                    continue;
                const bool core = u32(file, bitmap) == CoreHeaderBytes;
                const qint64 wide =
                    core ? u16(file, bitmap + 4) : std::llabs(qint32(u32(file, bitmap + 4)));
                const qint64 high =
                    core ? u16(file, bitmap + 6) : std::llabs(qint32(u32(file, bitmap + 8)));
                largest = std::max(largest, wide * high);
            }
            return true;
        },
        Records::WholeFile);
    return largest;
}

namespace {

DecodeResult renderWith(wmfAPI* api, const QByteArray& file, const PlaceableWmfHeader& header,
                        QSize size) {
    // libwmf only reads the buffer.
    auto* bytes = reinterpret_cast<unsigned char*>(const_cast<char*>(file.constData()));
    if (wmf_mem_open(api, bytes, static_cast<long>(file.size())) != wmf_E_None)
        return DecodeResult::failed(UnknownImageFormat);
    wmfD_Rect drawn{};
    if (wmf_scan(api, 0, &drawn) != wmf_E_None) {
        wmf_mem_close(api);
        return DecodeResult::failed(UnknownImageFormat);
    }

    // libwmf places logical units at 72 / unitsPerInch points; the window fills the picture.
    // Its box runs from the top-left corner to the bottom-right one also where the window's
    // extent is negative (y growing upwards): given the other way round, libwmf draws
    // nothing, or spins stretching a bitmap.
    const QRectF window = wmfWindow(file, header).normalized();
    if (!bitmapDestinationsDrawable(file, window, size)) {
        wmf_mem_close(api);
        return DecodeResult::failed(UnknownImageFormat);
    }
    const double toPoints = PointsPerInch / header.unitsPerInch;
    wmf_gd_t* device = WMF_GD_GetData(api);
    device->width = static_cast<unsigned>(size.width());
    device->height = static_cast<unsigned>(size.height());
    device->bbox.TL.x = static_cast<float>(window.left() * toPoints);
    device->bbox.TL.y = static_cast<float>(window.top() * toPoints);
    device->bbox.BR.x = static_cast<float>(window.right() * toPoints);
    device->bbox.BR.y = static_cast<float>(window.bottom() * toPoints);
    // libwmf frees its canvas only after writing it out, so it hands over a PNG.
    QByteArray png;
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink.context = &png;
    device->sink.function = [](void* context, char* buffer, int length) {
        static_cast<QByteArray*>(context)->append(buffer, length);
        return length;
    };
    wmfD_Rect played{};
    const wmf_error_t status = wmf_play(api, 0, &played);
    wmf_mem_close(api);
    if (status != wmf_E_None)
        return DecodeResult::failed(status == wmf_E_InsMem ? OutOfMemory : GenericError);
    QImage image;
    if (!image.loadFromData(png, "PNG") || image.size() != size)
        return DecodeResult::failed(GenericError);
    return {image, Ok};
}

} // namespace

DecodeResult renderPlaceableWmf(const QByteArray& file, const PlaceableWmfHeader& header,
                                QSize size, qint64 allocationLimit) {
    if (size.isEmpty() || header.unitsPerInch <= 0 || !largestRecordFitsFile(file) ||
        !bitmapHeadersKnown(file))
        return DecodeResult::failed(UnknownImageFormat);
    // One made ahead is taken (once), else one is made now.
    const auto limit = static_cast<std::size_t>(std::max<qint64>(allocationLimit, 0));
    LimitedAllocator allocator{limit};
    preparedAllocator.limit = limit;
    const Api api = preparedApi ? std::move(preparedApi) : createApi(&allocator);
    if (!api) return DecodeResult::failed(GenericError);
    return renderWith(api.get(), file, header, size);
}

void prepareWmfRenderer() {
    if (!preparedApi) preparedApi = createApi(&preparedAllocator);
}

} // namespace kamsulo::imaging
