#include "imaging/GifWriter.h"

#include "imaging/ImagingStatus.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace kamsulo::imaging {

namespace {

constexpr int ColorBits = 8;
constexpr std::uint32_t ClearCode = 1u << ColorBits;
constexpr std::uint32_t EndCode = ClearCode + 1;
constexpr std::uint32_t FirstFreeCode = ClearCode + 2;
constexpr std::uint32_t CodeLimit = 4095; // the table is started again at this code
constexpr int LongestCode = 12;
constexpr std::size_t SubBlock = 255;

// Pictures this large are coded in two halves at once, the lower one on a thread of
// its own, each from a fresh table, joined by a clear code.
// A 4K GIF save, bench_imaging_save taking turns: about 78 ms in halves, 92 in one stream.
constexpr std::size_t SplitPixels = std::size_t{1} << 15;

// LZW codes packed least significant bit first. Table entries are found through an
// open hash of (prefix code, pixel) keys, each slot holding key << 12 | code.
class LzwEncoder {
public:
    // A stream that follows a clear code starts without one of its own.
    explicit LzwEncoder(bool startWithClear) : table_(TableSize) {
        clearTable();
        if (startWithClear) put(ClearCode);
    }

    void encode(const std::uint8_t* pixels, std::size_t count) {
        std::size_t i = 0;
        if (prefix_ == NoPrefix && count > 0) prefix_ = pixels[i++];
        for (; i < count; ++i) {
            const std::uint32_t key = (prefix_ << 8) | pixels[i];
            std::uint32_t slot = (key * 2654435761u) >> (32 - TableBits);
            for (;;) {
                const std::uint32_t entry = table_[slot];
                if (entry == Empty) break;
                if ((entry >> 12) == key) break;
                slot = (slot + 1) & (TableSize - 1);
            }
            if (table_[slot] != Empty) {
                prefix_ = table_[slot] & 0xfff;
                continue;
            }
            put(prefix_);
            prefix_ = pixels[i];
            if (nextCode_ >= CodeLimit) {
                put(ClearCode);
                nextCode_ = FirstFreeCode;
                codeBits_ = ColorBits + 1;
                clearTable();
            } else {
                table_[slot] = (key << 12) | nextCode_++;
            }
        }
    }

    // The pending code, then `last` (the end, or the clear before another stream).
    void finish(std::uint32_t last) {
        if (prefix_ != NoPrefix) put(prefix_);
        put(last);
        if (bitCount_ > 0) bytes_.push_back(static_cast<std::uint8_t>(bits_));
    }

    // Appends `next`'s bits right after this stream's.
    void append(const LzwEncoder& next) {
        const int shift = static_cast<int>(bitLength_ % 8);
        if (shift == 0) {
            bytes_.insert(bytes_.end(), next.bytes_.begin(), next.bytes_.end());
        } else {
            for (const std::uint8_t byte : next.bytes_) {
                bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | byte << shift);
                bytes_.push_back(static_cast<std::uint8_t>(byte >> (8 - shift)));
            }
        }
        bitLength_ += next.bitLength_;
        bytes_.resize((bitLength_ + 7) / 8);
    }

    // In sub-blocks of at most 255 bytes, each after its length byte, and the block
    // terminator, as the image data of a GIF file wants them.
    void writeBlocks(std::vector<std::uint8_t>& out) const {
        for (std::size_t at = 0; at < bytes_.size(); at += SubBlock) {
            const std::size_t length = std::min(SubBlock, bytes_.size() - at);
            out.push_back(static_cast<std::uint8_t>(length));
            out.insert(out.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes_.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        out.push_back(0);
    }

private:
    static constexpr int TableBits = 13;
    static constexpr std::uint32_t TableSize = 1u << TableBits;
    static constexpr std::uint32_t Empty = 0xffffffffu;
    static constexpr std::uint32_t NoPrefix = 0xffffffffu;

    void clearTable() { std::memset(table_.data(), 0xff, TableSize * sizeof(std::uint32_t)); }

    // Writes a code at the current width; the width grows once the table has
    // used up the codes it can name.
    void put(std::uint32_t code) {
        bits_ |= static_cast<std::uint64_t>(code) << bitCount_;
        bitCount_ += codeBits_;
        bitLength_ += static_cast<std::uint64_t>(codeBits_);
        while (bitCount_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            bitCount_ -= 8;
        }
        if (nextCode_ >= (1u << codeBits_) && codeBits_ < LongestCode) ++codeBits_;
    }

    std::vector<std::uint8_t> bytes_;
    std::uint64_t bitLength_ = 0;
    std::vector<std::uint32_t> table_;
    std::uint32_t prefix_ = NoPrefix;
    std::uint32_t nextCode_ = FirstFreeCode;
    int codeBits_ = ColorBits + 1;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;
};

void encodeRows(LzwEncoder& lzw, const Bitmap& bitmap, int from, int to) {
    for (int y = from; y < to; ++y)
        lzw.encode(bitmap.scanLine(y), static_cast<std::size_t>(bitmap.width()));
}

// The picture's codes, in halves at once when it is large.
void writeImageData(const Bitmap& bitmap, std::vector<std::uint8_t>& out) {
    const std::size_t pixels =
        static_cast<std::size_t>(bitmap.width()) * static_cast<std::size_t>(bitmap.height());
    LzwEncoder upper(true);
    if (pixels < SplitPixels || bitmap.height() < 2) {
        encodeRows(upper, bitmap, 0, bitmap.height());
        upper.finish(EndCode);
        upper.writeBlocks(out);
        return;
    }
    const int half = bitmap.height() / 2;
    LzwEncoder lower(false);
    const auto encodeLower = [&] {
        encodeRows(lower, bitmap, half, bitmap.height());
        lower.finish(EndCode);
    };
    std::exception_ptr failure;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                encodeLower();
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        encodeLower(); // no thread to be had
    }
    try {
        encodeRows(upper, bitmap, 0, half);
        upper.finish(ClearCode);
    } catch (...) {
        if (worker.joinable()) worker.join();
        throw;
    }
    if (worker.joinable()) worker.join();
    if (failure) std::rethrow_exception(failure);
    upper.append(lower);
    upper.writeBlocks(out);
}

void putU16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

} // namespace

int writeGif(const Bitmap& bitmap, AtomicFile& file) {
    if (bitmap.isNull() || bitmap.format() != PixelFormat::Indexed8 || bitmap.width() > 0xffff ||
        bitmap.height() > 0xffff)
        return InvalidParameter;
    try {
        // The whole file is made in memory and written at once.
        std::vector<std::uint8_t> out;
        const std::size_t pixels =
            static_cast<std::size_t>(bitmap.width()) * static_cast<std::size_t>(bitmap.height());
        out.reserve(1024 + pixels / 2);
        out.insert(out.end(), {'G', 'I', 'F', '8', '7', 'a'});
        putU16(out, bitmap.width());
        putU16(out, bitmap.height());
        // A global colour table of 2^8 entries, 8 bits of colour resolution.
        out.insert(out.end(), {0x80 | ((ColorBits - 1) << 4) | (ColorBits - 1), 0, 0});
        for (std::size_t i = 0; i < (std::size_t{1} << ColorBits); ++i) {
            if (i < bitmap.palette.entries.size()) {
                const PaletteEntry& e = bitmap.palette.entries[i];
                out.insert(out.end(), {e.red, e.green, e.blue});
            } else {
                out.insert(out.end(), {0, 0, 0});
            }
        }
        out.push_back(','); // the image: the whole screen, no table of its own, not interlaced
        putU16(out, 0);
        putU16(out, 0);
        putU16(out, bitmap.width());
        putU16(out, bitmap.height());
        out.push_back(0);
        out.push_back(ColorBits); // the LZW minimum code size
        writeImageData(bitmap, out);
        out.push_back(';'); // the trailer
        file.write(out.data(), out.size());
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return file.failed() ? SystemError : Ok;
}

} // namespace kamsulo::imaging
