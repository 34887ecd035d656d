// Writes the seed corpora of the fuzz targets into <folder>/<target>/: small
// pictures of every format the loader reads, made by the program's own writer,
// Qt and by hand; key strings of every kind of element; a few pictures, file
// types and qualities for the writer; and pictures that do and do not make the
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

// An enhanced metafile of 40 x 30 pixels that fills a rectangle: a header, a brush
// chosen from the stock ones, the rectangle and the end record.
QByteArray enhancedMetafile() {
    LittleEndian emf;
    const int headerSize = 88, brushSize = 12, rectangleSize = 24, endSize = 20;
    const int size = headerSize + brushSize + rectangleSize + endSize;
    emf.u32(1).u32(headerSize);                    // EMR_HEADER
    emf.u32(0).u32(0).u32(39).u32(29);             // bounds in pixels
    emf.u32(0).u32(0).u32(1058).u32(793);          // frame in 0.01 mm
    emf.u32(0x464D4520).u32(0x10000).u32(size);    // " EMF", version, bytes
    emf.u32(4).u16(1).u16(0).u32(0).u32(0).u32(0); // records, handles, description, palette
    emf.u32(1920).u32(1080).u32(508).u32(286);     // reference device, pixels and mm
    emf.u32(37).u32(brushSize).u32(0x80000002);    // EMR_SELECTOBJECT: the gray brush
    emf.u32(43).u32(rectangleSize).u32(5).u32(5).u32(30).u32(20); // EMR_RECTANGLE
    emf.u32(14).u32(endSize).u32(0).u32(16).u32(endSize);         // EMR_EOF
    return emf.bytes;
}

void writeLoaderSeeds() {
    const QImage picture = samplePicture(12, 9);
    using W = imaging::ImageWriter;
    loaderSeed(".bmp", savedBy([&](W& w, const QString& p) { return w.saveBmp(picture, p); }));
    for (const auto format : {QImage::Format_Mono, QImage::Format_Indexed8})
        loaderSeed(".dib", qtWritten(picture.convertToFormat(format), "bmp"));
    loaderSeed(".png", savedBy([&](W& w, const QString& p) { return w.savePng(picture, p); }));
    for (const auto format : {QImage::Format_Indexed8, QImage::Format_Grayscale8})
        loaderSeed(".png", qtWritten(picture.convertToFormat(format), "png"));
    loaderSeed(".gif", savedBy([&](W& w, const QString& p) { return w.saveGif(picture, p); }));
    const QByteArray jpeg =
        savedBy([&](W& w, const QString& p) { return w.saveJpeg(picture, p, 85); });
    for (const char* ending : {".jpg", ".jpe", ".jpeg", ".jfif"})
        loaderSeed(ending, jpeg);
    loaderSeed(".tif", qtWritten(picture, "tiff"));
    loaderSeed(".tiff", qtWritten(picture.convertToFormat(QImage::Format_Mono), "tiff"));
    loaderSeed(".emf", enhancedMetafile());
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
    const WriterInput cases[] = {
        {7, 5, FileType::Bmp, 0, 0, Fill::Gradient, few},
        {9, 3, FileType::Bmp, 0, 6, Fill::Repeat, few},
        {40, 30, FileType::Png, 0, 0, Fill::Noise, few},
        {5, 5, FileType::Png, 0, 1, Fill::Repeat, few},
        {16, 16, FileType::Gif, 0, 3, Fill::Gradient, few},
        {17, 9, FileType::Jpeg, 85 + 20, 0, Fill::Gradient, few},
    };
    for (const WriterInput& input : cases)
        writeSeed("fuzz_image_writer", input.bytes());
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
