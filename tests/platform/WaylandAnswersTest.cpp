// What the compositor and the portal hand over is checked before it is read: KWin's
// description of its raw pixels, and the portal's picture file.
#include "platform/wayland/KWinPixels.h"
#include "platform/wayland/PortalFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kamsulo::platform;

namespace {

constexpr QSize Bound(3840, 2160);
constexpr uint Argb = QImage::Format_ARGB32_Premultiplied;

QVariantMap answer(QVariant width, QVariant height, QVariant stride, QVariant format) {
    return {{"width", width}, {"height", height}, {"stride", stride}, {"format", format}};
}

} // namespace

TEST(KWinPixels, EveryFieldFitsTheOthersAndTheOutputs) {
    const std::optional<KWinPixels> whole = kwinPixels(answer(1920u, 1080u, 7680u, Argb), Bound);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->bytes(), qsizetype(7680) * 1080);
    // Lines padded (RGB888 of an odd width, aligned to four bytes), and a 64-bit format.
    EXPECT_TRUE(kwinPixels(answer(3u, 2u, 12u, uint(QImage::Format_RGB888)), Bound));
    EXPECT_TRUE(kwinPixels(answer(10u, 10u, 80u, uint(QImage::Format_RGBA64)), Bound));

    const struct {
        const char* why;
        QVariantMap answer;
    } refused[] = {
        {"no stride", {{"width", 100u}, {"height", 100u}, {"format", Argb}}},
        {"a text for a number", answer("100", 100u, 400u, Argb)},
        {"a fraction", answer(100.5, 100u, 400u, Argb)},
        {"no width", answer(0u, 100u, 400u, Argb)},
        {"a negative height", answer(100, -1, 400, Argb)},
        {"wider than the outputs", answer(3841u, 100u, 3841u * 4, Argb)},
        {"2^31-1 high", answer(1u, 2147483647u, 4u, Argb)},
        {"2^32-1 wide", answer(4294967295u, 1u, 4294967295u, Argb)},
        {"lines shorter than a row", answer(100u, 100u, 399u, Argb)},
        {"lines of 2^31-1 bytes", answer(100u, 100u, 2147483647u, Argb)},
        {"no format", answer(100u, 100u, 400u, uint(QImage::Format_Invalid))},
        {"a format beyond Qt's list", answer(100u, 100u, 400u, uint(QImage::NImageFormats))},
        {"a colour table", answer(100u, 100u, 100u, uint(QImage::Format_Indexed8))},
        {"bits, not bytes", answer(100u, 100u, 13u, uint(QImage::Format_Mono))},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(kwinPixels(r.answer, Bound)) << r.why;
}

TEST(PortalFile, OnlyARegularFileOfThisUserWithinTheLimitIsTakenAndRemoved) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray picture(1000, 'p');
    const auto made = [&](const char* name) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(picture);
        return path;
    };

    const QString shot = made("shot.png");
    EXPECT_EQ(takePortalFile(shot, 1000), picture);
    EXPECT_FALSE(QFile::exists(shot));
    // Larger than the limit: not read, and removed as the portal's file.
    const QString large = made("large.png");
    EXPECT_FALSE(takePortalFile(large, 999));
    EXPECT_FALSE(QFile::exists(large));

    // A link, even to a picture; a FIFO (whose reading would wait for a writer); a folder.
    const QString target = made("target.png");
    const QString link = dir.filePath("link.png");
    ASSERT_TRUE(QFile::link(target, link));
    const QString fifo = dir.filePath("fifo.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath("folder.png");
    ASSERT_TRUE(QDir().mkdir(folder));
    QStringList foreign{link, fifo, folder, dir.filePath("missing.png")};
    // Another user's file, where the test may give one away.
    if (::geteuid() == 0) {
        const QString theirs = made("theirs.png");
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
        foreign << theirs;
    }
    for (const QString& path : foreign)
        EXPECT_FALSE(takePortalFile(path, 1 << 20)) << path.toStdString();
    // Left alone.
    for (const QString& path : {link, fifo, folder})
        EXPECT_TRUE(QFileInfo(path).isSymLink() || QFileInfo::exists(path)) << path.toStdString();
    EXPECT_TRUE(QFile::exists(target));
}
