// Writes the seed corpora of the fuzz targets into <folder>/<target>/: small
// pictures of every format the loader reads, made by the program's own writer,
// Qt and by hand; key strings of every kind of element; a few pictures, file
// types and selectors for the writer; and pictures that do and do not make the
// octree reduce.
#include "FuzzSupport.h"
#include "KeyStringInput.h"
#include "LoaderInput.h"
#include "OctreeInput.h"
#include "WriterInput.h"
#include "imaging/ImageWriter.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <cstdio>
#include <functional>

using namespace kamsulo;
using namespace kamsulo::fuzz;

namespace {

QDir g_root;

void writeSeed(const char* target, const QByteArray& bytes) {
    QDir dir(g_root.filePath(QLatin1String(target)));
    check(dir.mkpath(QStringLiteral(".")), "seed folder", dir.path());
    const QString name =
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
    QFile file(dir.filePath(name));
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "seed", name);
}

int endingIndex(const char* ending) {
    for (std::size_t i = 0; i < LoaderEndings.size(); ++i)
        if (qstrcmp(LoaderEndings[i], ending) == 0) return int(i);
    fail("no such ending", QLatin1String(ending));
}

void loaderSeed(const char* ending, const QByteArray& file) {
    writeSeed("fuzz_image_loader", LoaderInput{endingIndex(ending), 0, file}.bytes());
}

// A small picture with a gradient, a few flat colours and a diagonal.
QImage samplePicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, x == y ? 255 : 40));
    return image;
}

QByteArray savedBy(const std::function<bool(imaging::ImageWriter&, const QString&)>& save) {
    const QString path = scratchDir() + QStringLiteral("/seed");
    imaging::ImageWriter writer;
    check(save(writer, path), "seed picture", writer.lastError());
    QFile file(path);
    check(file.open(QIODevice::ReadOnly), "seed picture read");
    const QByteArray bytes = file.readAll();
    file.remove();
    return bytes;
}

QByteArray qtWritten(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    check(QImageWriter(&buffer, format).write(image), "Qt seed", QLatin1String(format));
    return bytes;
}

class LittleEndian {
public:
    LittleEndian& u16(int v) {
        bytes.append(char(v & 0xff)).append(char(v >> 8 & 0xff));
        return *this;
    }
    LittleEndian& u32(qint64 v) { return u16(int(v & 0xffff)).u16(int(v >> 16 & 0xffff)); }
    QByteArray bytes;
};

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= uchar(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc >> 1 ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

QByteArray bigEndian32(quint32 value) {
    return QByteArray(1, char(value >> 24)) + char(value >> 16 & 0xff) + char(value >> 8 & 0xff) +
           char(value & 0xff);
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    const QByteArray body = QByteArray(type, 4) + data;
    return bigEndian32(quint32(data.size())) + body + bigEndian32(crc32(body));
}

// A Windows metafile of the given records (words after the size), with or
// without the placeable header; the size words of each record are added here.
QByteArray metafile(const QList<QList<int>>& records, bool placeable) {
    LittleEndian body;
    int largest = 3;
    for (const QList<int>& record : records) {
        body.u32(record.size() + 2);
        for (const int word : record)
            body.u16(word);
        largest = std::max(largest, int(record.size()) + 2);
    }
    body.u32(3).u16(0); // the end record
    const int headerWords = 9;
    LittleEndian header;
    header.u16(1).u16(headerWords).u16(0x300).u32(headerWords + body.bytes.size() / 2);
    header.u16(1).u32(largest).u16(0);
    if (!placeable) return header.bytes + body.bytes;
    LittleEndian place;
    place.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(160).u16(120).u16(960).u32(0);
    int checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= std::uint8_t(place.bytes[i]) | std::uint8_t(place.bytes[i + 1]) << 8;
    place.u16(checksum);
    return place.bytes + header.bytes + body.bytes;
}

void writeLoaderSeeds() {
    const QImage picture = samplePicture(12, 9);
    using imaging::BitmapFormat;
    using W = imaging::ImageWriter;
    for (const auto format : {BitmapFormat::Indexed4, BitmapFormat::Rgb24, BitmapFormat::Rgb555})
        loaderSeed(".bmp",
                   savedBy([&](W& w, const QString& p) { return w.saveBmp(picture, p, format); }));
    loaderSeed(".dib", savedBy([&](W& w, const QString& p) {
                   return w.saveBmp(picture, p, BitmapFormat::Indexed8);
               }));
    for (const auto format : {BitmapFormat::Octree8, BitmapFormat::Rgb32, BitmapFormat::Gray8})
        loaderSeed(".png",
                   savedBy([&](W& w, const QString& p) { return w.savePng(picture, p, format); }));
    loaderSeed(".gif", savedBy([&](W& w, const QString& p) {
                   return w.saveGif(picture, p, imaging::GifPalette::Octree);
               }));
    const QByteArray jpeg =
        savedBy([&](W& w, const QString& p) { return w.saveJpeg(picture, p, 85); });
    for (const char* ending : {".jpg", ".jpe", ".jpeg", ".jfif"})
        loaderSeed(ending, jpeg);
    loaderSeed(".tif", savedBy([&](W& w, const QString& p) {
                   return w.saveTiff(picture, p, imaging::TiffCompression::Lzw,
                                     imaging::TiffColorDepth::Rgb24);
               }));
    loaderSeed(".tiff", savedBy([&](W& w, const QString& p) {
                   return w.saveTiff(picture, p, imaging::TiffCompression::CcittGroup4,
                                     imaging::TiffColorDepth::Indexed1);
               }));
    loaderSeed(".emf", savedBy([&](W& w, const QString& p) {
                   return w.saveEmf(picture, p, imaging::EmfType::EmfPlusDual,
                                    QStringLiteral("Kamsulo"));
               }));
    const QByteArray icon = qtWritten(picture.convertToFormat(QImage::Format_ARGB32), "ico");
    loaderSeed(".ico", icon);
    QByteArray cursor = icon;
    cursor[2] = 2; // the type word: 2 is a cursor
    loaderSeed(".cur", cursor);

    // A run-length encoded 8-bit bitmap, 4 x 2 pixels of four colours.
    const QByteArray rle = QByteArray::fromHex("0401 0000 0202 0203 0000 0001");
    LittleEndian bmp;
    bmp.bytes = "BM";
    bmp.u32(14 + 40 + 16 + rle.size()).u32(0).u32(14 + 40 + 16);
    bmp.u32(40)
        .u32(4)
        .u32(2)
        .u16(1)
        .u16(8)
        .u32(1)
        .u32(rle.size())
        .u32(2835)
        .u32(2835)
        .u32(4)
        .u32(0);
    bmp.bytes += QByteArray::fromHex("00000000 0000ff00 00ff0000 ff000000") + rle;
    loaderSeed(".rle", bmp.bytes);

    // A 32-bit bitmap of bit fields, 10 bits a colour and 2 of alpha, in a version 4 header.
    LittleEndian masked;
    masked.bytes = "BM";
    masked.u32(14 + 108 + 16).u32(0).u32(14 + 108);
    masked.u32(108).u32(2).u32(2).u16(1).u16(32).u32(3).u32(16).u32(2835).u32(2835).u32(0).u32(0);
    masked.u32(0x3ff00000).u32(0x000ffc00).u32(0x000003ff).u32(0xc0000000);
    masked.bytes.resize(14 + 108, '\0');
    masked.u32(0xffffffff).u32(0x3ff003ff).u32(0x8007fc00).u32(0x40000001);
    loaderSeed(".bmp", masked.bytes);

    // A PNG of 16-bit RGB samples with a colour key: the blue of its top left pixel.
    QByteArray deep = qtWritten(picture.convertToFormat(QImage::Format_RGBX64), "png");
    deep.insert(33, pngChunk("tRNS", QByteArray::fromHex("00000000ffff")));
    loaderSeed(".png", deep);

    // Window origin and extent, a brush, a rectangle, and a 2 x 2 bitmap stretched.
    const QList<QList<int>> records = {
        {0x020B, 0, 0},
        {0x020C, 120, 160},
        {0x02FC, 0, 0x00ff, 0x0000, 0},
        {0x012D, 0},
        {0x041B, 100, 140, 10, 20},
        {0x0B41, 0x0020, 0x00CC, 2, 2, 0, 0,      60,     80,     30, 40, // DIBStretchBlt
         40,     0,      2,      0, 2, 0, 1,      24,     0,      0,  16,     0,      0,      0,
         0,      0,      0,      0, 0, 0, 0xff00, 0x0000, 0x00ff, 0,  0xffff, 0x00ff, 0xffff, 0},
    };
    loaderSeed(".wmf", metafile(records, true));
    loaderSeed(".wmf", metafile(records, false));
    loaderSeed(".txt", "not a picture at all");
}

void writeKeySeeds() {
    const char* const strings[] = {"^v",          "^+x",        "+(ab)", "{LEFT 3}",
                                   "~",           "{}}",        "%{F4}", "{a 2.5}",
                                   "{x 1e9}",     "(",          "{",     "+",
                                   "Hallo Welt!", "{{}{(}{)}",  "+^%a",  "{ENTER}{TAB 2}{BS}",
                                   "(^v)x",       "{DELETE -1}"};
    for (const char* text : strings) {
        writeSeed("fuzz_key_string", KeyStringInput{false, false, QLatin1String(text)}.bytes());
        writeSeed("fuzz_key_string", KeyStringInput{false, true, QLatin1String(text)}.bytes());
    }
    writeSeed("fuzz_key_string",
              KeyStringInput{true, false, QStringLiteral("äöü €{€ 2}(𝄞)+ß")}.bytes());
}

void writeWriterSeeds() {
    const QByteArray few = QByteArray::fromHex("ff0000 00ff00 0000ff ffffff 000000");
    struct Case {
        FileType type;
        int selector, depth, source;
        Fill fill;
        int width, height;
    };
    const Case cases[] = {
        {FileType::Bmp, int(imaging::BitmapFormat::Rgb24), 0, 0, Fill::Gradient, 7, 5},
        {FileType::Bmp, int(imaging::BitmapFormat::Indexed1), 0, 6, Fill::Repeat, 9, 3},
        {FileType::Png, int(imaging::BitmapFormat::Octree8), 0, 0, Fill::Noise, 40, 30},
        {FileType::Png, int(imaging::BitmapFormat::Rgb565), 0, 1, Fill::Repeat, 5, 5},
        {FileType::Gif, int(imaging::GifPalette::Fixed), 0, 3, Fill::Gradient, 16, 16},
        {FileType::Jpeg, 85 + 20, 0, 0, Fill::Gradient, 17, 9},
        {FileType::Tiff, int(imaging::TiffCompression::Lzw), int(imaging::TiffColorDepth::Rgb32), 2,
         Fill::Noise, 8, 8},
        {FileType::Tiff, int(imaging::TiffCompression::CcittRle), 0, 7, Fill::Repeat, 33, 4},
        {FileType::Emf, int(imaging::EmfType::EmfOnly), 1, 0, Fill::Gradient, 6, 4},
    };
    for (const Case& c : cases)
        writeSeed("fuzz_image_writer",
                  WriterInput{c.width, c.height, c.type, c.selector, c.depth, c.source, c.fill, few}
                      .bytes());
}

void writeOctreeSeeds() {
    const QByteArray few = QByteArray::fromHex("102030 405060 102030 ffffff");
    writeSeed("fuzz_octree", OctreeInput{1, 1, 0, Fill::Repeat, few}.bytes());
    writeSeed("fuzz_octree", OctreeInput{5, 3, 1, Fill::Repeat, few}.bytes());
    writeSeed("fuzz_octree", OctreeInput{64, 64, 0, Fill::Noise, few}.bytes());
    writeSeed("fuzz_octree", OctreeInput{300, 2, 3, Fill::Gradient, few}.bytes());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    startQt();
    g_root = QDir(QString::fromLocal8Bit(argv[1]));
    writeLoaderSeeds();
    writeKeySeeds();
    writeWriterSeeds();
    writeOctreeSeeds();
    return 0;
}
