// The decoder process: it decodes every kind of file as the loader does in process,
// runs walled in while it decodes, and a decoder that is killed, too slow or too hungry
// costs a German message.
#include "Samples.h"
#include "imaging/ImagingStatus.h"
#include "imaging/load/ImageLoader.h"
#include "imaging/load/LoadTexts.h"
#include "imaging/load/SandboxedLoader.h"
#include "support/sanitizers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;

namespace {

const QSize LargestPicture(16384, 16384);

// slow.wmf and coefficient-bomb.jpeg, made once per test process.
QString slowSample(const char* name) {
    static QTemporaryDir dir;
    static const bool made = [] {
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(KAMSULO_SOURCE_DIR "/tests/imaging/load/make_slow_samples.py"),
                      dir.path()});
        return python.waitForFinished(120000) && python.exitCode() == 0;
    }();
    EXPECT_TRUE(made);
    return dir.filePath(QString::fromLatin1(name));
}

// The value of `key` in /proc/PID/FILE ("Seccomp:" in status, "Max address space" in
// limits): the first word after it.
QString procValue(pid_t pid, const char* file, const QString& key) {
    QFile proc(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!proc.open(QIODevice::ReadOnly)) return {};
    for (const QString& line : QString::fromLatin1(proc.readAll()).split(QLatin1Char('\n')))
        if (line.startsWith(key))
            return line.mid(key.size()).simplified().section(QLatin1Char(' '), 0, 0);
    return {};
}

void waitForEnd(const DecoderProcess& process) {
    pollfd ended{process.pidfd, POLLIN, 0};
    poll(&ended, 1, process.timeoutMs);
}

QString text(const char16_t* t) {
    return QString::fromUtf16(t);
}

enum class Start { ForThePicture, StandbyForLess, StandbyForMore, Ahead };

// This process's children that are decoders, running or not yet reaped.
int decoderProcesses() {
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        // "PID (NAME) STATE PPID ..."
        const QList<QByteArray> fields = stat.readAll().split(' ');
        count += fields.size() > 3 && fields[1] == "(kamsulo-decode)" &&
                 fields[3].toLongLong() == getpid();
    }
    return count;
}

} // namespace

// Rasters, metafiles, a damaged file, a picture too large, and clipboard bytes: the
// same picture or the same German text as in process, from a decoder started for the
// picture, from one that waited in standby with the memory of a smaller or a larger
// picture faulted in, and from one that started on the file ahead.
TEST(Sandbox, DecodesLikeTheLoaderInProcess) {
    QTemporaryDir dir;
    const QByteArray png = contents(sample("rgb.png"));
    const QString cut = writeFile(dir, "cut.png", png.left(png.size() / 2));
    const ImageLoader inProcess;
    const SandboxedLoader sandboxed;
    for (const Start start :
         {Start::ForThePicture, Start::StandbyForLess, Start::StandbyForMore, Start::Ahead}) {
        const auto standBy = [start] {
            if (start == Start::StandbyForLess) SandboxedLoader::startStandby(QSize(8, 8));
            if (start == Start::StandbyForMore) SandboxedLoader::startStandby(QSize(64, 64));
        };
        for (const QString& file :
             {sample("rgb.png"), sample("alpha.png"), sample("interlaced.png"), sample("rle8.rle"),
              sample("palette.gif"), sample("lzw.tiff"), sample("photo.jpeg"), sample("icon.ico"),
              sample("rect.wmf"), sample("picture.emf"), sample("pstoedit.emf"), cut,
              sample("bomb.wmf"), dir.filePath("missing.png")}) {
            const LoadResult expected = inProcess.load(file, LargestPicture);
            standBy();
            if (start == Start::Ahead) sandboxed.startAhead(file, LargestPicture);
            const LoadResult result = sandboxed.load(file, LargestPicture);
            const std::string name = file.toStdString();
            EXPECT_EQ(result.errorText, expected.errorText) << name;
            EXPECT_EQ(result.tooLarge, expected.tooLarge) << name;
            EXPECT_FALSE(result.decoderFault) << name;
            EXPECT_EQ(result.picture, expected.picture) << name << int(start);
        }
        standBy();
        EXPECT_EQ(sandboxed.decode(png).picture, inProcess.load(sample("rgb.png")).picture);
        standBy();
        EXPECT_TRUE(sandboxed.decode("plain words").picture.isNull());
    }
}

// A standby stopped unused (the Open dialog cancelled), a decode started ahead and one
// ended by the load of another file: once done, no decoder process is left, not even
// as a zombie.
TEST(Sandbox, NoDecoderIsLeftBehind) {
    const auto allEnded = [] {
        QElapsedTimer clock;
        clock.start();
        while (decoderProcesses() > 0 && clock.elapsed() < SandboxedLoader::timeoutMs())
            std::this_thread::yield();
        return decoderProcesses() == 0;
    };
    ASSERT_TRUE(allEnded()); // those of the tests before
    const SandboxedLoader loader;
    SandboxedLoader::startStandby();
    EXPECT_EQ(decoderProcesses(), 1);
    SandboxedLoader::stopStandby();
    loader.startAhead(sample("rgb.png"), LargestPicture);
    EXPECT_FALSE(loader.load(sample("rgb.png"), LargestPicture).picture.isNull());
    loader.startAhead(sample("rgb.png"), LargestPicture);
    EXPECT_FALSE(loader.load(sample("alpha.png"), LargestPicture).picture.isNull());
    EXPECT_TRUE(allEnded());
}

// While it decodes, the decoder runs under its seccomp filter and with a finite address
// space; killed then, it costs the German message and nothing else.
TEST(Sandbox, AKilledDecoderIsAMessage) {
    QString seccomp, addressSpace;
    const SandboxedLoader killing([&](const DecoderProcess& process) {
        QElapsedTimer clock;
        clock.start();
        // The walls go up before the first byte is read: looked at until they are there.
        while (seccomp != QLatin1String("2") && clock.elapsed() < process.timeoutMs) {
            seccomp = procValue(process.pid, "status", QStringLiteral("Seccomp:"));
            addressSpace = procValue(process.pid, "limits", QStringLiteral("Max address space"));
            std::this_thread::yield();
        }
        kill(process.pid, SIGKILL);
        waitForEnd(process);
    });
    const LoadResult result = killing.load(slowSample("slow.wmf"), LargestPicture);
    EXPECT_EQ(seccomp, QLatin1String("2"));
    if (!kamsulo::test::kAddressSanitizer) {
        EXPECT_NE(addressSpace, QLatin1String("unlimited"));
    }
    EXPECT_TRUE(result.decoderFault);
    EXPECT_EQ(result.errorText, text(LoadText::DecoderFailed));
    EXPECT_TRUE(result.picture.isNull());
}

// Past the wall-clock limit the decoder is ended with the time-out's text; a picture
// whose decoder needs more memory than its walls allow gives the loader's text for it.
TEST(Sandbox, TimeOutAndMemoryLimitHaveTheirTexts) {
    qputenv("KAMSULO_DECODE_TIMEOUT_MS", "300");
    const LoadResult slow = SandboxedLoader().load(slowSample("slow.wmf"), LargestPicture);
    qunsetenv("KAMSULO_DECODE_TIMEOUT_MS");
    EXPECT_TRUE(slow.decoderFault);
    EXPECT_EQ(slow.errorText, text(LoadText::DecoderTimedOut));

    // AddressSanitizer's builds set no address-space limit.
    if (!kamsulo::test::kAddressSanitizer) {
        const LoadResult bomb =
            SandboxedLoader().load(slowSample("coefficient-bomb.jpeg"), LargestPicture);
        EXPECT_EQ(bomb.errorText, loaderStatusText(OutOfMemory));
        EXPECT_FALSE(bomb.tooLarge);
    }
}
