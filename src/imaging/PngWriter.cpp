#include "imaging/PngWriter.h"

#include "imaging/ImagingStatus.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <new>
#include <vector>

namespace kamsulo::imaging {

namespace {

constexpr std::uint8_t RgbColorType = 2;
constexpr std::uint8_t BitDepth = 8;
constexpr std::size_t Channels = 3;
constexpr int CompressionLevel = 6; // of libdeflate's 1 to 12

// One row of the picture in PNG sample order: red, green, blue.
void pngRow(const Bitmap& picture, int y, std::uint8_t* out) {
    const std::uint8_t* in = picture.scanLine(y);
    for (int x = 0; x < picture.width(); ++x, in += 4, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

// In 16-bit arithmetic, which the vectoriser packs twice as densely as int.
inline std::uint8_t paeth(std::int16_t a, std::int16_t b, std::int16_t c) {
    const auto abs16 = [](int v) { return static_cast<std::int16_t>(v < 0 ? -v : v); };
    const std::int16_t pa = abs16(b - c), pb = abs16(a - c), pc = abs16(a + b - 2 * c);
    const std::int16_t ab = pa <= pb ? a : b;
    return static_cast<std::uint8_t>(std::min(pa, pb) <= pc ? ab : c);
}

// x log2 x for every count a row's bytes can reach, to weigh byte frequencies.
class FrequencyWeights {
public:
    explicit FrequencyWeights(std::size_t rowBytes) : weights_(rowBytes + 1, 0.0f) {
        for (std::size_t c = 2; c <= rowBytes; ++c) {
            const auto x = static_cast<double>(c);
            weights_[c] = static_cast<float>(x * std::log2(x));
        }
    }
    // The sum of c log2 c over the counts c of the byte values among every
    // second byte of `bytes`: the larger, the fewer bits the bytes take when coded
    // by their own frequencies. Half the bytes judge a row as well as all of them.
    float concentration(const std::uint8_t* bytes, std::size_t n) const {
        // Two histograms, so that neighbouring equal bytes do not wait on each other.
        std::uint32_t counts[2][256] = {};
        std::size_t i = 0;
        for (; i + 3 < n; i += 4) {
            ++counts[0][bytes[i]];
            ++counts[1][bytes[i + 2]];
        }
        if (i < n) ++counts[0][bytes[i]];
        float sum = 0.0f;
        for (int v = 0; v < 256; ++v)
            sum += weights_[counts[0][v] + counts[1][v]];
        return sum;
    }

private:
    std::vector<float> weights_;
};

// The five filtered forms of `row` (previous row `prev`, zeros for the first):
// out[k] holds filter type k. Returns the type whose bytes would take the fewest
// bits coded by their own frequencies. This beats the usual smallest sum of
// absolute values on screenshots, whose flat areas and repeated glyphs compress
// by their few distinct byte values rather than by small ones.
int filterRow(const std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::size_t bpp,
              std::uint8_t* const out[5], const FrequencyWeights& weights) {
    std::uint8_t* sub = out[1];
    std::uint8_t* up = out[2];
    std::uint8_t* avg = out[3];
    std::uint8_t* pae = out[4];
    const std::size_t head = std::min(bpp, n);
    for (std::size_t i = 0; i < head; ++i) {
        sub[i] = row[i];
        up[i] = static_cast<std::uint8_t>(row[i] - prev[i]);
        avg[i] = static_cast<std::uint8_t>(row[i] - (prev[i] >> 1));
        pae[i] = static_cast<std::uint8_t>(row[i] - prev[i]);
    }
    for (std::size_t i = head; i < n; ++i) {
        const std::uint8_t a = row[i - bpp], b = prev[i], c = prev[i - bpp], x = row[i];
        sub[i] = static_cast<std::uint8_t>(x - a);
        up[i] = static_cast<std::uint8_t>(x - b);
        avg[i] = static_cast<std::uint8_t>(x - static_cast<std::uint8_t>((a + b) >> 1));
        pae[i] = static_cast<std::uint8_t>(x - paeth(a, b, c));
    }
    int best = 0;
    float bestConcentration = -1.0f;
    for (int k = 0; k < 5; ++k) {
        const float c = weights.concentration(k == 0 ? row : out[k], n);
        if (c > bestConcentration) {
            bestConcentration = c;
            best = k;
        }
    }
    return best;
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void writeChunk(AtomicFile& file, const char type[4], const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> head;
    putU32(head, static_cast<std::uint32_t>(size));
    head.insert(head.end(), type, type + 4);
    file.write(head.data(), head.size());
    if (size > 0) file.write(data, size);
    std::uint32_t crc = libdeflate_crc32(0, type, 4);
    if (size > 0) crc = libdeflate_crc32(crc, data, size);
    std::vector<std::uint8_t> tail;
    putU32(tail, crc);
    file.write(tail.data(), tail.size());
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

} // namespace

int writePng(const Bitmap& picture, AtomicFile& file) {
    if (picture.isNull() || picture.format() != PixelFormat::Rgb32) return InvalidParameter;
    const std::size_t width = static_cast<std::size_t>(picture.width());
    const std::size_t height = static_cast<std::size_t>(picture.height());
    const std::size_t rowBytes = width * Channels;
    if (width > 0x7fffffffu || height > 0x7fffffffu) return ValueOverflow;

    try {
        // Filtered image data: per row the filter type and the filtered bytes.
        // Every byte of it is written below.
        const std::size_t rawSize = (rowBytes + 1) * height;
        std::unique_ptr<std::uint8_t[]> raw(new std::uint8_t[rawSize]);
        std::vector<std::uint8_t> prev(rowBytes, 0), cur(rowBytes), work(4 * rowBytes);
        std::uint8_t* const forms[5] = {nullptr, work.data(), work.data() + rowBytes,
                                        work.data() + 2 * rowBytes, work.data() + 3 * rowBytes};
        const FrequencyWeights weights(rowBytes);
        for (std::size_t y = 0; y < height; ++y) {
            pngRow(picture, static_cast<int>(y), cur.data());
            std::uint8_t* out = raw.get() + y * (rowBytes + 1);
            const int type = filterRow(cur.data(), prev.data(), rowBytes, Channels, forms, weights);
            out[0] = static_cast<std::uint8_t>(type);
            std::memcpy(out + 1, type == 0 ? cur.data() : forms[type], rowBytes);
            prev.swap(cur);
        }

        std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
            libdeflate_alloc_compressor(CompressionLevel));
        if (!compressor) return OutOfMemory;
        const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), rawSize);
        std::unique_ptr<std::uint8_t[]> packed(new std::uint8_t[bound]);
        const std::size_t packedSize =
            libdeflate_zlib_compress(compressor.get(), raw.get(), rawSize, packed.get(), bound);
        if (packedSize == 0) return GenericError;
        raw.reset();

        static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
        file.write(signature, sizeof signature);
        std::vector<std::uint8_t> ihdr;
        putU32(ihdr, static_cast<std::uint32_t>(width));
        putU32(ihdr, static_cast<std::uint32_t>(height));
        ihdr.push_back(BitDepth);
        ihdr.push_back(RgbColorType);
        ihdr.push_back(0); // deflate
        ihdr.push_back(0); // adaptive filtering
        ihdr.push_back(0); // not interlaced
        writeChunk(file, "IHDR", ihdr.data(), ihdr.size());
        // pHYs: 96 dpi
        std::vector<std::uint8_t> phys;
        putU32(phys, 3780);
        putU32(phys, 3780);
        phys.push_back(1);
        writeChunk(file, "pHYs", phys.data(), phys.size());
        constexpr std::size_t ChunkLimit = 1u << 20;
        for (std::size_t at = 0; at < packedSize; at += ChunkLimit)
            writeChunk(file, "IDAT", packed.get() + at, std::min(ChunkLimit, packedSize - at));
        writeChunk(file, "IEND", nullptr, 0);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return file.failed() ? SystemError : Ok;
}

} // namespace kamsulo::imaging
