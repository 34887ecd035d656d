// Hostile files at the main window's limit: damaged copies of every format's sample,
// headers claiming enormous sizes, and small files whose contents cost far more than
// their picture. Each is refused in German or shown, quickly, and the process's
// resident set never passes 400 MB on the way.
#include "Samples.h"
#include "imaging/ImagingStatus.h"
#include "imaging/load/ImageLoader.h"
#include "imaging/load/LoadTexts.h"
#include "support/sanitizers.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;

namespace {

// The main window's largest picture: 16384 pixels a side (and no more pixels than the
// decode limit holds).
const QSize LargestPicture(16384, 16384);
constexpr qint64 PeakBound = qint64(400) * 1024 * 1024;
// What reading a header may add to the resident set: no picture's worth.
constexpr qint64 HeaderOnlyGrowth = qint64(16) * 1024 * 1024;
// Far beyond what decoding a picture of this size takes, even on a busy machine.
constexpr qint64 SlowestLoadMs = 20000;

constexpr bool AddressSanitizer = kamsulo::test::kAddressSanitizer;

QString text(const char16_t* t) {
    return QString::fromUtf16(t);
}

// The first line of every refusal is one of the loader's German messages: never the
// English of an exception, never empty.
bool germanRefusal(const QString& errorText) {
    const QString first = errorText.section(QStringLiteral("\r\n"), 0, 0);
    for (const char16_t* known :
         {LoadText::EmptyFile, LoadText::PictureLoaderFailed, LoadText::CannotReadFile,
          LoadText::CannotMakeHandle, LoadText::TooLarge})
        if (first == text(known)) return true;
    return first == loaderStatusText(OutOfMemory);
}

// Loads `file` at the main window's limit: refused in German without a picture, or
// shown as an opaque picture within the limit; quickly, and within the peak bound.
LoadResult loadHostile(const QString& file, const std::string& what) {
    resetPeak(); // so that a failure names the case that passed the bound
    QElapsedTimer clock;
    clock.start();
    const LoadResult result = ImageLoader().load(file, LargestPicture);
    EXPECT_LT(clock.elapsed(), SlowestLoadMs) << what;
    if (result.picture.isNull()) {
        EXPECT_TRUE(germanRefusal(result.errorText))
            << what << ": " << result.errorText.toStdString();
    } else {
        EXPECT_TRUE(result.errorText.isEmpty()) << what << ": " << result.errorText.toStdString();
        EXPECT_EQ(result.picture.format(), QImage::Format_RGB32) << what;
        EXPECT_LE(result.picture.width(), LargestPicture.width()) << what;
        EXPECT_LE(result.picture.height(), LargestPicture.height()) << what;
    }
    EXPECT_EQ(result.tooLarge, result.errorText == text(LoadText::TooLarge)) << what;
    // AddressSanitizer's shadow memory and quarantine swell the resident set well past
    // what the loader itself takes: its build checks everything here but the bound.
    if (!AddressSanitizer) {
        EXPECT_LT(residentBytes("VmHWM"), PeakBound) << what << ": peak resident set";
    }
    return result;
}

} // namespace

TEST(HostileFiles, DamagedCopiesOfEveryFormat) {
    QTemporaryDir dir;
    std::mt19937 random(20240517);
    for (const char* sampleName :
         {"rgb.png", "rgb24.bmp", "rle8.rle", "rle4.bmp", "palette.gif", "photo.jpeg", "lzw.tiff",
          "rect.wmf", "reader-bomb.wmf", "picture.emf"}) {
        const QString name = QString::fromLatin1(sampleName);
        const QByteArray good = contents(sample(name));
        ASSERT_GT(good.size(), 64) << sampleName;
        const QString file = dir.filePath(QStringLiteral("damaged") + name.mid(name.indexOf('.')));
        auto load = [&](const QByteArray& bytes, const QString& how) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(out.write(bytes), bytes.size());
            out.close();
            loadHostile(file, (name + QStringLiteral(", ") + how).toStdString());
        };
        for (int eighths = 1; eighths < 8; ++eighths)
            load(good.left(good.size() * eighths / 8), QStringLiteral("cut at %1/8").arg(eighths));
        load(good.chopped(1), QStringLiteral("without its last byte"));
        // Half the flips land in the first 128 bytes, where the headers are.
        for (int copy = 0; copy < 32; ++copy) {
            QByteArray flipped = good;
            const auto span = copy % 2 ? flipped.size() : std::min<qsizetype>(128, good.size());
            for (int flip = 0; flip <= copy % 8; ++flip)
                flipped[random() % span] ^= char(1 << random() % 8);
            load(flipped, QStringLiteral("bit flips #%1").arg(copy));
        }
        QByteArray noise(good.size(), Qt::Uninitialized);
        for (char& byte : noise)
            byte = char(random());
        load(noise, QStringLiteral("noise"));
        load(good.left(16) + noise.mid(16), QStringLiteral("noise behind 16 bytes of header"));
    }
}

TEST(HostileFiles, HeadersClaimingEnormousSizes) {
    // Whether a header beyond the limit is refused as too large or as damaged is the
    // reader's call where it knows a limit of its own (libpng, libtiff, Qt's BMP reader).
    enum class Outcome { TooLarge, NoPicture, Any };
    const struct {
        const char* name;
        Outcome outcome;
    } claims[] = {
        {"huge-2147483647x1.png", Outcome::NoPicture},
        {"huge-2147483647-square.png", Outcome::NoPicture},
        {"huge-1000000-square.png", Outcome::TooLarge},
        {"huge-16000-square.png", Outcome::TooLarge}, // within the sides, not the decode limit
        {"limit-16384x4096.png", Outcome::Any},
        {"huge-topdown-8000.bmp", Outcome::NoPicture},
        {"huge-topdown-16384.bmp", Outcome::TooLarge},
        {"huge-topdown-100000.bmp", Outcome::NoPicture},
        {"huge-topdown-int-min.bmp", Outcome::NoPicture},
        {"huge-2147483647-wide.bmp", Outcome::NoPicture},
        {"huge-rle8-30000.rle", Outcome::NoPicture},
        {"limit-topdown-16384x4096.bmp", Outcome::Any},
        {"huge-65535-square.gif", Outcome::TooLarge},
        {"huge-frame-on-small-screen.gif", Outcome::Any},
        {"limit-16384x4096.gif", Outcome::Any},
        {"huge-65500-square.jpeg", Outcome::TooLarge},
        {"limit-16384x4096.jpg", Outcome::Any},
        {"huge-100000-square.tiff", Outcome::TooLarge},
        {"huge-4294967295-square.tif", Outcome::NoPicture},
        {"huge-2147483648x1.tif", Outcome::NoPicture},
        {"huge-1.7km.wmf", Outcome::TooLarge},
        {"huge-21km.emf", Outcome::TooLarge},
        {"huge-43km.emf", Outcome::TooLarge},
        {"huge-bitmap-20000.emf", Outcome::NoPicture},
    };
    for (const auto& claim : claims) {
        LoadResult result;
        const qint64 growth =
            peakGrowth([&] { result = loadHostile(sample(claim.name), claim.name); });
        if (claim.outcome == Outcome::TooLarge) {
            EXPECT_TRUE(result.tooLarge) << claim.name << ": " << result.errorText.toStdString();
            // Refused by its header, before a pixel is decoded.
            if (!AddressSanitizer) {
                EXPECT_LT(growth, HeaderOnlyGrowth) << claim.name;
            }
        } else if (claim.outcome == Outcome::NoPicture) {
            EXPECT_TRUE(result.picture.isNull()) << claim.name;
        }
    }
}

// Small files that would cost far more than their picture: bitmaps, line and polyline
// records in a metafile beyond what libemf2svg and QSvgRenderer draw in bounded memory,
// and a JPEG of thousands of scans, each of which the decoder goes over the picture for.
TEST(HostileFiles, ContentsCostlierThanTheirPicture) {
    for (const char* name : {"bitmaps-8x4000.emf", "lines-5mb.emf", "polylines-12mb.emf"})
        EXPECT_EQ(loadHostile(sample(name), name).errorText, text(LoadText::PictureLoaderFailed))
            << name;
    EXPECT_EQ(loadHostile(sample("scan-bomb.jpeg"), "scan-bomb.jpeg").errorText,
              withStatusText(text(LoadText::CannotReadFile), UnknownImageFormat));
}
