// kamsulo-decode: decodes one picture for the program, inside the sandbox.
//   kamsulo-decode PARENT_PID BRANCH MAX_WIDTH MAX_HEIGHT DECODE_LIMIT TIMEOUT_MS DRAWING
//                  QT_READERS
// The file's bytes are on descriptor 3, the answer goes into descriptor 4 (a memfd), and
// one byte into descriptor 5 once it is complete, after which it waits to be ended; see
// DecodeAnswer.h. Everything that opens files
// (Qt's plugins, unless QT_READERS 0 says the picture needs none; for a metafile, which DRAWING 1
// announces, the fonts) is loaded before the walls go up.
#include "imaging/load/DecodeAnswer.h"
#include "imaging/load/ImageLoader.h"
#include "imaging/load/LoadTexts.h"
#include "imaging/load/RasterFormat.h"
#include "imaging/load/WmfRenderer.h"
#include "imaging/load/decoder/AllocationWatch.h"
#include "imaging/load/decoder/PreopenedFiles.h"
#include "imaging/load/decoder/Sandbox.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <optional>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kamsulo::imaging;
using kamsulo::imaging::decoder::preopenFontmapFonts;

namespace {

enum Exit { Answered = 0, Usage = 2, NoSandbox = 3, NoInput = 4, NoAnswer = 5 };

constexpr qint64 Mebibyte = 1024 * 1024;
// Where libwmf finds its fonts.
constexpr char GhostscriptFontmap[] = "/var/lib/ghostscript/fonts/Fontmap";
// What decoding needs beyond the program's code, the file's bytes and the decoded
// picture: a progressive JPEG keeps every scan's coefficients, up to another picture's
// worth for three full-size components (an 8000 x 8000 photo), and the readers' and
// renderers' tables. Measured with the largest pictures the decode limit lets through.
[[maybe_unused]] constexpr qint64 WorkingSpaceBytes = 160 * Mebibyte;

[[maybe_unused]] qint64 addressSpaceNow() {
    FILE* statm = std::fopen("/proc/self/statm", "re");
    long long pages = 0;
    if (!statm) return -1;
    const int read = std::fscanf(statm, "%lld", &pages);
    std::fclose(statm);
    return read == 1 ? pages * sysconf(_SC_PAGESIZE) : -1;
}

// Loads what a decode opens files for: the readers' plugins.
void loadReaders() {
    for (const RasterFormat format :
         {RasterFormat::Png, RasterFormat::Jpeg, RasterFormat::Gif, RasterFormat::Bitmap,
          RasterFormat::Tiff, RasterFormat::Icon}) {
        QBuffer empty;
        empty.open(QIODevice::ReadOnly);
        QImageReader(&empty, readerName(format)).canRead();
    }
}

// The fonts that a metafile's text is most likely drawn in. A font not loaded here is
// missing, and its text with it.
void loadFonts() {
    QImage scratch(64, 16, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    for (const QString& family :
         {QStringLiteral("sans-serif"), QStringLiteral("serif"), QStringLiteral("monospace")}) {
        painter.setFont(QFont(family));
        painter.drawText(0, 12, QStringLiteral("Ag"));
    }
}

bool writeAll(const void* data, qint64 size, qint64 at) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = pwrite(DecoderAnswerFd, bytes, std::size_t(size), at);
        if (written <= 0) return false;
        bytes += written, size -= written, at += written;
    }
    return true;
}

// The answer's picture memory, mapped here once a reader asks for it.
uchar* answerPixels = nullptr;

QImage answerMemory(QSize size, QImage::Format format) {
    const qint64 length = qint64(size.width()) * size.height() * DecodedBytesPerPixel;
    if (answerPixels || length <= 0 ||
        ftruncate(DecoderAnswerFd, off_t(AnswerPixelsAlign + length)) != 0)
        return {};
    void* mapped = mmap(nullptr, std::size_t(length), PROT_READ | PROT_WRITE, MAP_SHARED,
                        DecoderAnswerFd, off_t(AnswerPixelsAlign));
    if (mapped == MAP_FAILED) return {};
    answerPixels = static_cast<uchar*>(mapped);
    return QImage(answerPixels, size.width(), size.height(),
                  qsizetype(size.width()) * DecodedBytesPerPixel, format);
}

bool answer(const LoadResult& result) {
    DecodeAnswer header;
    header.outcome = !result.picture.isNull() ? DecodeOutcome::Picture
                     : result.tooLarge        ? DecodeOutcome::TooLarge
                                              : DecodeOutcome::Refused;
    const qint64 end = header.outcome == DecodeOutcome::Picture
                           ? qint64(AnswerPixelsAlign) + result.picture.sizeInBytes()
                           : 0;
    if (ftruncate(DecoderAnswerFd, off_t(end)) != 0) return false;
    const QString text = result.errorText.left(LongestAnswerText);
    header.textUnits = std::uint32_t(text.size());
    if (!writeAll(text.utf16(), text.size() * 2, sizeof header)) return false;
    if (header.outcome == DecodeOutcome::Picture) {
        const QImage& picture = result.picture;
        header.width = picture.width();
        header.height = picture.height();
        header.bytesPerLine = int(picture.bytesPerLine());
        header.pixelsAt = AnswerPixelsAlign;
        // Decoded in place, or copied there.
        if (picture.constBits() != answerPixels &&
            !writeAll(picture.constBits(), picture.sizeInBytes(), qint64(header.pixelsAt)))
            return false;
    }
    header.memoryExhausted = decoder::memoryExhausted();
    header.complete = DecodeAnswer::Complete;
    const char done = 1;
    return writeAll(&header, sizeof header, 0) && write(DecoderDoneFd, &done, 1) == 1;
}

void parseRequest(char** fields, DecodeRequest& request) {
    for (std::int64_t* field :
         {&request.branch, &request.maxWidth, &request.maxHeight, &request.decodeLimitBytes,
          &request.timeoutMs, &request.drawing, &request.qtReaders})
        *field = std::atoll(*fields++);
}

} // namespace

int main(int argc, char** argv) {
    // Ends with the program, even if the program is killed.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (argc != 9) return Usage;
    if (getppid() != std::atoll(argv[1])) return Usage; // the program is already gone
    // One arena: each thread's own would reserve 64 MiB of address space.
    mallopt(M_ARENA_MAX, 1);
    DecodeRequest request;
    parseRequest(argv + 2, request);
    if (request.qtReaders) loadReaders();
    close_range(DecoderDoneFd + 1, ~0U, 0);
    const auto branch = DecoderBranch(request.branch);
    const QSize maxSize(int(request.maxWidth), int(request.maxHeight));
    LoaderOptions options;
    options.decodeLimitBytes = request.decodeLimitBytes;
    options.pictureMemory = answerMemory;
    const long long timeoutMs = request.timeoutMs;
    if (options.decodeLimitBytes <= 0 || timeoutMs <= 0) return Usage;

    // Pixels need no application; drawing text does.
    int qtArgc = 1;
    std::optional<QGuiApplication> app;
    if (request.drawing) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app.emplace(qtArgc, argv);
        loadFonts();
        prepareWmfRenderer();
        preopenFontmapFonts(GhostscriptFontmap);
    }

    struct stat input {};
    if (fstat(DecoderInputFd, &input) != 0 || input.st_size <= 0) return NoInput;
    decoder::SandboxLimits limits;
#ifndef KAMSULO_SANITIZED
    // The sanitizers reserve terabytes of address space: no limit under them.
    const qint64 now = addressSpaceNow();
    if (now <= 0) return NoSandbox;
    limits.addressSpaceBytes =
        rlim_t(now + input.st_size + 2 * options.decodeLimitBytes + WorkingSpaceBytes);
#endif
    limits.cpuSeconds = rlim_t(timeoutMs / 1000 + 2);
    limits.knownFile = decoder::preopenedDescriptor;
    if (!decoder::enterSandbox(limits)) return NoSandbox;

    void* mapped =
        mmap(nullptr, std::size_t(input.st_size), PROT_READ, MAP_PRIVATE, DecoderInputFd, 0);
    if (mapped == MAP_FAILED) return NoInput;
    const QByteArray bytes =
        QByteArray::fromRawData(static_cast<const char*>(mapped), qsizetype(input.st_size));
    const LoadResult result = ImageLoader(options).decode(bytes, branch, maxSize);
    // No clean-up: the process ends here, and every call it would make is one more.
    std::fflush(nullptr);
    if (!answer(result)) _exit(NoAnswer);
    // The program ends this process once it has taken the answer: the end, which gives
    // back the memory, is then out of its way.
    for (;;)
        poll(nullptr, 0, -1);
}
