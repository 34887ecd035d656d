#include "imaging/load/SandboxedLoader.h"

#include "imaging/ImagingStatus.h"
#include "imaging/load/DecodeAnswer.h"
#include "imaging/load/LoadTexts.h"
#include "imaging/load/RasterFormat.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kamsulo::imaging {

namespace {

// Far beyond what the largest picture takes, even on a busy machine.
constexpr int DecodeTimeoutMs = 20000;
constexpr int HighFd = 64; // out of the way of the child's 3 and 4

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

LoadResult refused(const QString& text) {
    LoadResult result;
    result.errorText = text;
    return result;
}

LoadResult fault(const char16_t* text) {
    LoadResult result = refused(QString::fromUtf16(text));
    result.decoderFault = true;
    return result;
}

void blockingWait(const DecoderProcess& process) {
    pollfd done{process.doneFd, POLLIN, 0};
    while (poll(&done, 1, process.timeoutMs) < 0 && errno == EINTR) {
    }
}

struct Mapping {
    void* address;
    std::size_t length;
};

void unmap(void* mapping) {
    auto* m = static_cast<Mapping*>(mapping);
    munmap(m->address, m->length);
    delete m;
}

// The picture in the answer, mapped copy-on-write; null when the answer is not one the
// decoder can have written for `maxSize`.
QImage mappedPicture(int answerFd, const DecodeAnswer& header, QSize maxSize, qint64 limit) {
    const QSize size(header.width, header.height);
    if (size.isEmpty() || !admitsSize(size, maxSize, limit) ||
        qint64(size.width()) * size.height() * DecodedBytesPerPixel > limit ||
        header.bytesPerLine != size.width() * DecodedBytesPerPixel ||
        header.pixelsAt != AnswerPixelsAlign)
        return {};
    const auto length = std::size_t(header.bytesPerLine) * std::size_t(header.height);
    // The decoder may still be on its way out: sealed, the answer cannot shrink under
    // the mapping any more.
    fcntl(answerFd, F_ADD_SEALS, F_SEAL_SHRINK);
    const int seals = fcntl(answerFd, F_GET_SEALS);
    struct stat answer {};
    if (seals < 0 || !(seals & F_SEAL_SHRINK) || fstat(answerFd, &answer) != 0 ||
        quint64(answer.st_size) < header.pixelsAt + length)
        return {};
    void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE, answerFd,
                         off_t(header.pixelsAt));
    if (address == MAP_FAILED) return {};
    return QImage(static_cast<uchar*>(address), size.width(), size.height(), header.bytesPerLine,
                  QImage::Format_RGB32, unmap, new Mapping{address, length});
}

LoadResult readAnswer(int answerFd, QSize maxSize, qint64 limit) {
    DecodeAnswer header;
    if (pread(answerFd, &header, sizeof header, 0) != sizeof header ||
        header.complete != DecodeAnswer::Complete || header.textUnits > LongestAnswerText)
        return fault(LoadText::DecoderFailed);
    QString text(qsizetype(header.textUnits), Qt::Uninitialized);
    const auto textBytes = ssize_t(header.textUnits * 2);
    if (pread(answerFd, text.data(), std::size_t(textBytes), sizeof header) != textBytes)
        return fault(LoadText::DecoderFailed);
    switch (header.outcome) {
    case DecodeOutcome::Picture: {
        LoadResult result;
        result.picture = mappedPicture(answerFd, header, maxSize, limit);
        return result.picture.isNull() ? fault(LoadText::DecoderFailed) : result;
    }
    case DecodeOutcome::TooLarge: {
        LoadResult result = refused(QString::fromUtf16(LoadText::TooLarge));
        result.tooLarge = true;
        return result;
    }
    case DecodeOutcome::Refused:
        // A refusal for want of memory says so, whatever the decoder made of it.
        if (header.memoryExhausted) return refused(loaderStatusText(OutOfMemory));
        return text.isEmpty() ? fault(LoadText::DecoderFailed) : refused(text);
    }
    return fault(LoadText::DecoderFailed);
}

bool exhaustedMemory(int answerFd) {
    DecodeAnswer header;
    return pread(answerFd, &header, sizeof header, 0) >= qint64(offsetof(DecodeAnswer, outcome)) &&
           header.memoryExhausted != 0;
}

// A decoder process, started for one decode.
struct Decoder {
    pid_t pid = 0;
    Fd pidfd;
    Fd done; // the pipe's end that its one byte comes through
};

// Ends the process if it still runs and reaps it.
void release(Decoder& decoder) {
    if (decoder.pidfd.valid()) {
        kill(decoder.pid, SIGKILL);
        siginfo_t ended{};
        while (waitid(P_PIDFD, id_t(decoder.pidfd.get()), &ended, WEXITED) != 0 && errno == EINTR) {
        }
    }
    decoder = Decoder();
}

enum class Ending { Running, Answered, Ended };

Ending endingOf(const Decoder& decoder) {
    char byte = 0;
    ssize_t got;
    while ((got = ::read(decoder.done.get(), &byte, 1)) < 0 && errno == EINTR) {
    }
    return got == 1 ? Ending::Answered : got == 0 ? Ending::Ended : Ending::Running;
}

// What of the program's environment the decoder gets: where its libraries, Qt's plugins
// and the fonts are, and the sanitizers' options in a checked build. Nothing else.
constexpr const char* DecoderVariables[] = {
    "LD_LIBRARY_PATH", "QT_PLUGIN_PATH", "QT_QPA_FONTDIR", "FONTCONFIG_FILE",
    "FONTCONFIG_PATH", "XDG_DATA_DIRS",  "XDG_CACHE_HOME", "HOME",
    "ASAN_OPTIONS",    "LSAN_OPTIONS",   "UBSAN_OPTIONS",
};

std::vector<QByteArray> decoderEnvironment() {
    std::vector<QByteArray> environment;
    for (const char* name : DecoderVariables)
        if (const char* value = std::getenv(name))
            environment.push_back(QByteArray(name) + '=' + value);
    return environment;
}

// Starts kamsulo-decode with `request` on its command line, the file's bytes as its 3, the
// answer file as its 4 and the done pipe as its 5.
Decoder spawnDecoder(const DecodeRequest& request, int inputFd, int answerFd) {
    Decoder decoder;
    const QByteArray path = QFile::encodeName(SandboxedLoader::decoderPath());
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return decoder;
    Fd done(pipeEnds[0]);
    const Fd doneTheirs(pipeEnds[1]);
    // Numbers out of the way of 3 to 5, where the child's copies go.
    const Fd input(fcntl(inputFd, F_DUPFD_CLOEXEC, HighFd));
    const Fd answer(fcntl(answerFd, F_DUPFD_CLOEXEC, HighFd));
    const Fd writeEnd(fcntl(doneTheirs.get(), F_DUPFD_CLOEXEC, HighFd));
    if (path.isEmpty() || !input.valid() || !answer.valid() || !writeEnd.valid()) return decoder;
    QList<QByteArray> args{path, QByteArray::number(qint64(getpid()))};
    for (const std::int64_t field :
         {request.branch, request.maxWidth, request.maxHeight, request.decodeLimitBytes,
          request.timeoutMs, request.drawing, request.qtReaders})
        args << QByteArray::number(qint64(field));
    std::vector<char*> argv;
    for (QByteArray& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Nothing of the terminal: neither what the user types nor the program's output.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, input.get(), DecoderInputFd);
    posix_spawn_file_actions_adddup2(&actions, answer.get(), DecoderAnswerFd);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), DecoderDoneFd);
    // A session of its own, every signal at its default and none blocked; its death
    // signal it sets itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t everySignal;
    sigfillset(&everySignal);
    posix_spawnattr_setsigdefault(&attributes, &everySignal);
    sigemptyset(&everySignal);
    posix_spawnattr_setsigmask(&attributes, &everySignal);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
    std::vector<QByteArray> environment = decoderEnvironment();
    std::vector<char*> envp;
    for (QByteArray& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    const int spawned = posix_spawn(&decoder.pid, path.constData(), &actions, &attributes,
                                    argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return decoder;
    decoder.pidfd = Fd(int(syscall(SYS_pidfd_open, decoder.pid, 0)));
    if (!decoder.pidfd.valid()) {
        kill(decoder.pid, SIGKILL);
        waitpid(decoder.pid, nullptr, 0);
        return decoder;
    }
    decoder.done = std::move(done);
    return decoder;
}

Fd answerFile() {
    return Fd(memfd_create("kamsulo-answer", MFD_CLOEXEC | MFD_ALLOW_SEALING));
}

bool likelyDrawing(const QString& name) {
    return name.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".emf"), Qt::CaseInsensitive);
}

} // namespace

// A decode under way: its process and its answer.
struct SandboxedLoader::Pending {
    Decoder decoder;
    Fd answer;
    QElapsedTimer started;
    int timeoutMs = 0;
};

namespace {

// A decode started ahead of the load of its file, and what it was started for.
struct FileDecodeUnderWay {
    QString fileName;
    QSize maxSize;
    qint64 decodeLimitBytes = 0;
    SandboxedLoader::Pending decode;
};
std::optional<FileDecodeUnderWay> fileDecodeUnderWay;

} // namespace

SandboxedLoader::SandboxedLoader(Wait wait, const LoaderOptions& options)
    : wait_(wait ? std::move(wait) : Wait(blockingWait)), options_(options) {}

int SandboxedLoader::timeoutMs() {
    bool ok = false;
    const int lower = qEnvironmentVariableIntValue("KAMSULO_DECODE_TIMEOUT_MS", &ok);
    return ok && lower > 0 ? std::min(lower, DecodeTimeoutMs) : DecodeTimeoutMs;
}

QString SandboxedLoader::decoderPath() {
    // Beside the executable in a build tree; installed, in the libexec folder of the prefix
    // the executable lies in, whichever prefix that is (KAMSULO_DECODER_FROM_BINDIR).
    const QString bin = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    for (const QString& name :
         {QStringLiteral("kamsulo-decode"), QStringLiteral(KAMSULO_DECODER_FROM_BINDIR)}) {
        const QFileInfo decoder(bin + QLatin1Char('/') + name);
        if (decoder.isExecutable()) return decoder.canonicalFilePath();
    }
    return qEnvironmentVariable("KAMSULO_DECODER");
}

LoadResult SandboxedLoader::load(const QString& fileName, QSize maxSize) {
    std::optional<FileDecodeUnderWay> started = std::exchange(fileDecodeUnderWay, std::nullopt);
    if (started && started->fileName == fileName && started->maxSize == maxSize &&
        started->decodeLimitBytes == options_.decodeLimitBytes)
        return finish(started->decode, maxSize);
    if (started) release(started->decode.decoder);
    const FileCheck check = checkFile(fileName, options_);
    if (!check.passed()) return refused(check.refusal);
    const Fd file(::open(QFile::encodeName(check.name).constData(), O_RDONLY | O_CLOEXEC));
    if (!file.valid())
        return refused(
            decodeFailureText(check.branch, errno == ENOENT ? FileNotFound : AccessDenied));
    Pending decode = start(file.get(), check.branch, maxSize, likelyDrawing(check.name));
    return finish(decode, maxSize);
}

void SandboxedLoader::startAhead(const QString& fileName, QSize maxSize) {
    if (fileDecodeUnderWay) release(fileDecodeUnderWay->decode.decoder);
    fileDecodeUnderWay.reset();
    // A file that fails its checks is refused by the load, as it would be without this.
    const FileCheck check = checkFile(fileName, options_);
    if (!check.passed()) return;
    const Fd file(::open(QFile::encodeName(check.name).constData(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) return;
    Pending decode = start(file.get(), check.branch, maxSize, likelyDrawing(check.name));
    if (decode.decoder.pidfd.valid())
        fileDecodeUnderWay =
            FileDecodeUnderWay{fileName, maxSize, options_.decodeLimitBytes, std::move(decode)};
}

LoadResult SandboxedLoader::decode(const QByteArray& bytes, QSize maxSize) const {
    const Fd input(memfd_create("kamsulo-input", MFD_CLOEXEC));
    if (!input.valid() || bytes.isEmpty()) return refused(loaderStatusText(UnknownImageFormat));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(input.get(), bytes.constData() + done, std::size_t(bytes.size() - done));
        if (written <= 0) return refused(loaderStatusText(OutOfMemory));
        done += written;
    }
    Pending decode = start(input.get(), DecoderBranch::ImagingLibrary, maxSize, false);
    return finish(decode, maxSize);
}

SandboxedLoader::Pending SandboxedLoader::start(int inputFd, DecoderBranch branch, QSize maxSize,
                                                bool drawing) const {
    Pending decode;
    decode.started.start();
    DecodeRequest request;
    request.branch = int(branch);
    request.maxWidth = maxSize.isValid() ? maxSize.width() : -1;
    request.maxHeight = maxSize.isValid() ? maxSize.height() : -1;
    request.decodeLimitBytes = options_.decodeLimitBytes;
    request.timeoutMs = timeoutMs();
    request.drawing = drawing;
    char head[16]; // the longest signature is eight bytes
    const ssize_t got = pread(inputFd, head, sizeof head, 0);
    const RasterFormat format =
        got > 0 ? rasterFormat(QByteArray::fromRawData(head, got)) : RasterFormat::Unlisted;
    request.qtReaders =
        !drawing && (format == RasterFormat::Png || format == RasterFormat::Bitmap) ? 0 : 1;

    decode.timeoutMs = int(request.timeoutMs);
    decode.answer = answerFile();
    if (decode.answer.valid()) decode.decoder = spawnDecoder(request, inputFd, decode.answer.get());
    return decode;
}

LoadResult SandboxedLoader::finish(Pending& decode, QSize maxSize) const {
    if (!decode.decoder.pidfd.valid()) return fault(LoadText::DecoderMissing);
    // A decode started ahead has had part of its time already.
    const int left = int(std::max<qint64>(0, decode.timeoutMs - decode.started.elapsed()));
    wait_(DecoderProcess{decode.decoder.pid, decode.decoder.pidfd.get(), decode.decoder.done.get(),
                         left});
    LoadResult result;
    switch (endingOf(decode.decoder)) {
    case Ending::Running:
        result = fault(LoadText::DecoderTimedOut);
        break;
    case Ending::Answered:
        // Mapped while the decoder still waits: its end gives back its memory, and the
        // mapping would wait for that.
        result = readAnswer(decode.answer.get(), maxSize, options_.decodeLimitBytes);
        break;
    case Ending::Ended:
        result = exhaustedMemory(decode.answer.get()) ? refused(loaderStatusText(OutOfMemory))
                                                      : fault(LoadText::DecoderFailed);
        break;
    }
    release(decode.decoder);
    return result;
}

} // namespace kamsulo::imaging
