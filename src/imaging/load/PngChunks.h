// The chunks of a PNG file, each checked to lie within it.
#pragma once

#include <QByteArrayView>
#include <QtGlobal>
#include <cstring>
#include <optional>

namespace kamsulo::imaging {

inline constexpr qsizetype PngSignatureBytes = 8;
inline constexpr qsizetype PngChunkFrame = 12; // length, type, CRC

inline quint32 bigEndian(const uchar* p) {
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

struct PngChunk {
    const uchar* type;
    const uchar* data;
    quint32 length;

    bool is(const char (&name)[5]) const { return std::memcmp(type, name, 4) == 0; }
};

class PngChunks {
public:
    // `file` from its signature on, which is not checked here.
    explicit PngChunks(QByteArrayView file)
        : at_(reinterpret_cast<const uchar*>(file.data()) + PngSignatureBytes),
          end_(reinterpret_cast<const uchar*>(file.data()) + file.size()) {}

    // The next chunk; none at the file's end, or where a chunk would pass it.
    std::optional<PngChunk> next() {
        if (end_ - at_ < PngChunkFrame) return std::nullopt;
        const quint32 length = bigEndian(at_);
        if (length > quint32(end_ - at_ - PngChunkFrame)) return std::nullopt;
        const PngChunk chunk{at_ + 4, at_ + 8, length};
        at_ += PngChunkFrame + length;
        return chunk;
    }

    // Whether every chunk so far ended within the file and nothing follows the last.
    bool atEnd() const { return at_ == end_; }

private:
    const uchar* at_;
    const uchar* end_;
};

} // namespace kamsulo::imaging
