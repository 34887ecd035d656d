// What the fuzz targets share: Qt without a display, a reader of the fuzzer's
// bytes, and a check that ends the run with a message when an invariant fails
// (libFuzzer then keeps the input as a crash).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kamsulo::fuzz {

// A QGuiApplication on the offscreen platform, Qt's messages silenced. For
// LLVMFuzzerInitialize and the seed writer.
void startQt();

// Where a target writes its files: the system's temporary folder (scripts/fuzz
// points TMPDIR at memory), a folder of its own per process.
QString scratchDir();

[[noreturn]] void fail(const char* what, const QString& detail = {});
inline void check(bool holds, const char* what) {
    if (!holds) fail(what);
}
// `detail` is a QString, or a function that makes one only when the check fails.
template <typename Detail> void check(bool holds, const char* what, const Detail& detail) {
    if (holds) return;
    if constexpr (std::is_invocable_v<Detail>)
        fail(what, detail());
    else
        fail(what, detail);
}

// Reads the input from the front; past its end every number is 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t u8() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t u16() {
        const unsigned low = u8();
        return static_cast<std::uint16_t>(low | unsigned(u8()) << 8);
    }
    // lowest .. highest, from one or two bytes.
    int inRange(int lowest, int highest) {
        const unsigned count = unsigned(highest - lowest) + 1;
        return lowest + int((count > 256 ? u16() : u8()) % count);
    }
    QByteArray rest() {
        const QByteArray bytes(reinterpret_cast<const char*>(data_ + at_), qsizetype(size_ - at_));
        at_ = size_;
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The inverse of ByteReader, for the seed writer.
class ByteWriter {
public:
    ByteWriter& u8(int value) {
        bytes_.append(char(value));
        return *this;
    }
    ByteWriter& u16(int value) { return u8(value & 0xff).u8(value >> 8 & 0xff); }
    // The value inRange(lowest, highest) reads back.
    ByteWriter& inRange(int value, int lowest, int highest) {
        return highest - lowest + 1 > 256 ? u16(value - lowest) : u8(value - lowest);
    }
    ByteWriter& append(const QByteArray& bytes) {
        bytes_.append(bytes);
        return *this;
    }
    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

} // namespace kamsulo::fuzz
