#include "imaging/EmfWriter.h"

#include "imaging/ImagingStatus.h"

#include <cstdint>
#include <vector>

namespace kamsulo::imaging {

namespace {

constexpr std::uint32_t EmrHeader = 1;
constexpr std::uint32_t EmrEof = 14;
constexpr std::uint32_t EmrGdiComment = 70;
constexpr std::uint32_t EmrStretchDiBits = 81;
constexpr std::uint32_t EmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t HeaderSize = 108;          // with both header extensions
constexpr std::uint32_t StretchDiBitsSize = 80;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t SrcCopy = 0x00CC0020;
constexpr std::int32_t Dpi = 96;
// The reference device: a 1920x1080 screen at 96 dpi.
constexpr std::int32_t DeviceWidth = 1920;
constexpr std::int32_t DeviceHeight = 1080;

std::int32_t hundredthsOfMm(std::int32_t pixels) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(pixels) * 2540 + Dpi / 2) / Dpi);
}

class Record {
public:
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void u16(std::uint16_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v));
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        i32(l);
        i32(t);
        i32(r);
        i32(b);
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace

int writeEmf(const Bitmap& bitmap, AtomicFile& file, const QString& description) {
    if (bitmap.isNull() || bitmap.format() != PixelFormat::Rgb24) return InvalidParameter;
    const std::int32_t width = bitmap.width();
    const std::int32_t height = bitmap.height();
    const std::uint64_t bitsSize =
        static_cast<std::uint64_t>(bitmap.stride()) * static_cast<std::uint64_t>(height);
    const std::uint64_t bitmapRecord = StretchDiBitsSize + InfoHeaderSize + bitsSize;

    const auto* utf16 = reinterpret_cast<const std::uint8_t*>(description.utf16());
    const std::uint32_t commentBytes = static_cast<std::uint32_t>(description.size()) * 2;
    const std::uint32_t commentRecord = description.isEmpty() ? 0 : 12 + ((commentBytes + 3) & ~3u);
    const std::uint32_t eofRecord = 20;
    const std::uint64_t total = HeaderSize + bitmapRecord + commentRecord + eofRecord;
    if (total > 0xffffffffu) return ValueOverflow;
    const std::uint32_t records = 3 + (description.isEmpty() ? 0 : 1);

    Record header;
    header.u32(EmrHeader);
    header.u32(HeaderSize);
    header.rect(0, 0, width - 1, height - 1);                                 // bounds
    header.rect(0, 0, hundredthsOfMm(width) - 1, hundredthsOfMm(height) - 1); // frame
    header.u32(EmfSignature);
    header.u32(0x10000); // version
    header.u32(static_cast<std::uint32_t>(total));
    header.u32(records);
    header.u16(1); // handles: the reserved entry 0
    header.u16(0);
    header.u32(0); // no description in the header
    header.u32(0);
    header.u32(0); // no palette
    header.i32(DeviceWidth);
    header.i32(DeviceHeight);
    header.i32(hundredthsOfMm(DeviceWidth) / 100);
    header.i32(hundredthsOfMm(DeviceHeight) / 100);
    header.u32(0); // no pixel format
    header.u32(0);
    header.u32(0); // not OpenGL
    header.i32(hundredthsOfMm(DeviceWidth) * 10);
    header.i32(hundredthsOfMm(DeviceHeight) * 10);
    file.write(header.bytes().data(), header.bytes().size());

    Record blit;
    blit.u32(EmrStretchDiBits);
    blit.u32(static_cast<std::uint32_t>(bitmapRecord));
    blit.rect(0, 0, width - 1, height - 1);
    blit.i32(0); // destination x, y
    blit.i32(0);
    blit.i32(0); // source x, y
    blit.i32(0);
    blit.i32(width); // source size
    blit.i32(height);
    blit.u32(StretchDiBitsSize); // bitmap info offset and size
    blit.u32(InfoHeaderSize);
    blit.u32(StretchDiBitsSize + InfoHeaderSize); // bits offset and size
    blit.u32(static_cast<std::uint32_t>(bitsSize));
    blit.u32(0); // DIB_RGB_COLORS
    blit.u32(SrcCopy);
    blit.i32(width); // destination size
    blit.i32(height);
    blit.u32(InfoHeaderSize);
    blit.i32(width);
    blit.i32(height); // bottom row first
    blit.u16(1);
    blit.u16(24);
    blit.u32(0); // BI_RGB
    blit.u32(static_cast<std::uint32_t>(bitsSize));
    blit.i32(3780);
    blit.i32(3780);
    blit.u32(0);
    blit.u32(0);
    file.write(blit.bytes().data(), blit.bytes().size());
    for (int y = height - 1; y >= 0; --y)
        file.write(bitmap.scanLine(y), bitmap.stride());

    if (!description.isEmpty()) {
        Record comment;
        comment.u32(EmrGdiComment);
        comment.u32(commentRecord);
        comment.u32(commentBytes);
        file.write(comment.bytes().data(), comment.bytes().size());
        file.write(utf16, commentBytes);
        const std::uint8_t pad[3] = {};
        file.write(pad, commentRecord - 12 - commentBytes);
    }

    Record eof;
    eof.u32(EmrEof);
    eof.u32(eofRecord);
    eof.u32(0);  // no palette entries
    eof.u32(16); // their offset
    eof.u32(eofRecord);
    file.write(eof.bytes().data(), eof.bytes().size());
    return file.failed() ? SystemError : Ok;
}

} // namespace kamsulo::imaging
