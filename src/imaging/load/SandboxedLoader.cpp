#include "imaging/load/SandboxedLoader.h"

#include "imaging/ImagingStatus.h"
#include "imaging/load/DecodeAnswer.h"
#include "imaging/load/LoadTexts.h"

#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

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
    pollfd ended{process.pidfd, POLLIN, 0};
    while (poll(&ended, 1, process.timeoutMs) < 0 && errno == EINTR) {
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
    struct stat answer {};
    if (fstat(answerFd, &answer) != 0 || quint64(answer.st_size) < header.pixelsAt + length)
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

// A decoder process, started or taken from standby.
struct Decoder {
    pid_t pid = 0;
    Fd pidfd;
    Fd socket; // a standby's, until the request went over it
};

Decoder standby; // one, ready for the next picture, when kept warm
bool warm = false;

// Starts kamsulo-decode with `request` on its command line and the two descriptors as 3
// and 4; with none, in standby with `socket` as 3.
Decoder spawnDecoder(const DecodeRequest* request, int third, int fourth) {
    Decoder decoder;
    const QByteArray path = QFile::encodeName(SandboxedLoader::decoderPath());
    // Numbers out of the way of 3 and 4, where the child's copies go.
    const Fd first(fcntl(third, F_DUPFD_CLOEXEC, HighFd));
    const Fd second(fourth >= 0 ? fcntl(fourth, F_DUPFD_CLOEXEC, HighFd) : -1);
    if (path.isEmpty() || !first.valid() || (fourth >= 0 && !second.valid())) return decoder;
    QList<QByteArray> args{path, QByteArray::number(qint64(getpid()))};
    if (request) {
        for (const std::int64_t field :
             {request->branch, request->maxWidth, request->maxHeight, request->decodeLimitBytes,
              request->timeoutMs, request->drawing})
            args << QByteArray::number(qint64(field));
    } else {
        args << QByteArrayLiteral("standby");
    }
    std::vector<char*> argv;
    for (QByteArray& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, first.get(), DecoderInputFd);
    if (second.valid()) posix_spawn_file_actions_adddup2(&actions, second.get(), DecoderAnswerFd);
    const int spawned =
        posix_spawn(&decoder.pid, path.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return decoder;
    decoder.pidfd = Fd(int(syscall(SYS_pidfd_open, decoder.pid, 0)));
    if (!decoder.pidfd.valid()) {
        kill(decoder.pid, SIGKILL);
        waitpid(decoder.pid, nullptr, 0);
    }
    return decoder;
}

void startStandby() {
    int pair[2];
    if (standby.pidfd.valid() || socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0)
        return;
    Fd theirs(pair[1]);
    standby = spawnDecoder(nullptr, theirs.get(), -1);
    standby.socket = Fd(pair[0]);
}

void reap(Decoder& decoder) {
    if (!decoder.pidfd.valid()) return;
    kill(decoder.pid, SIGKILL);
    siginfo_t ended{};
    waitid(P_PIDFD, id_t(decoder.pidfd.get()), &ended, WEXITED);
    decoder = Decoder();
}

void stopStandby() {
    reap(standby);
}

// The standby decoder, unless it has ended meanwhile (it is reaped then).
Decoder takeStandby() {
    Decoder taken = std::exchange(standby, Decoder());
    pollfd ended{taken.pidfd.get(), POLLIN, 0};
    if (taken.pidfd.valid() && poll(&ended, 1, 0) != 0) reap(taken);
    return taken;
}

bool sendRequest(Decoder& decoder, const DecodeRequest& request, int input, int answer) {
    iovec data{const_cast<DecodeRequest*>(&request), sizeof request};
    alignas(cmsghdr) char control[CMSG_SPACE(2 * sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* rights = CMSG_FIRSTHDR(&message);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(2 * sizeof(int));
    const int fds[2] = {input, answer};
    std::memcpy(CMSG_DATA(rights), fds, sizeof fds);
    const bool sent = sendmsg(decoder.socket.get(), &message, MSG_NOSIGNAL) == sizeof request;
    decoder.socket = Fd();
    if (!sent) reap(decoder);
    return sent;
}

} // namespace

SandboxedLoader::SandboxedLoader(Wait wait, const LoaderOptions& options)
    : wait_(wait ? std::move(wait) : Wait(blockingWait)), options_(options) {}

int SandboxedLoader::timeoutMs() {
    bool ok = false;
    const int lower = qEnvironmentVariableIntValue("KAMSULO_DECODE_TIMEOUT_MS", &ok);
    return ok && lower > 0 ? std::min(lower, DecodeTimeoutMs) : DecodeTimeoutMs;
}

QString SandboxedLoader::decoderPath() {
    const QString beside = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() +
                           QStringLiteral("/kamsulo-decode");
    if (QFileInfo(beside).isExecutable()) return beside;
    return qEnvironmentVariable("KAMSULO_DECODER");
}

LoadResult SandboxedLoader::load(const QString& fileName, QSize maxSize) const {
    const FileCheck check = checkFile(fileName, options_);
    if (!check.passed()) return refused(check.refusal);
    const Fd file(::open(QFile::encodeName(check.name).constData(), O_RDONLY | O_CLOEXEC));
    if (!file.valid())
        return refused(
            decodeFailureText(check.branch, errno == ENOENT ? FileNotFound : AccessDenied));
    const bool drawing = check.name.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive) ||
                         check.name.endsWith(QLatin1String(".emf"), Qt::CaseInsensitive);
    return run(file.get(), check.branch, maxSize, drawing);
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
    return run(input.get(), DecoderBranch::ImagingLibrary, maxSize, false);
}

LoadResult SandboxedLoader::run(int inputFd, DecoderBranch branch, QSize maxSize,
                                bool drawing) const {
    const Fd answer(memfd_create("kamsulo-answer", MFD_CLOEXEC));
    if (!answer.valid()) return fault(LoadText::DecoderMissing);
    DecodeRequest request;
    request.branch = int(branch);
    request.maxWidth = maxSize.isValid() ? maxSize.width() : -1;
    request.maxHeight = maxSize.isValid() ? maxSize.height() : -1;
    request.decodeLimitBytes = options_.decodeLimitBytes;
    request.timeoutMs = timeoutMs();
    request.drawing = drawing;

    Decoder decoder = takeStandby();
    if (!decoder.pidfd.valid() || !sendRequest(decoder, request, inputFd, answer.get()))
        decoder = spawnDecoder(&request, inputFd, answer.get());
    if (!decoder.pidfd.valid()) return fault(LoadText::DecoderMissing);
    wait_(DecoderProcess{decoder.pid, decoder.pidfd.get(), int(request.timeoutMs)});

    siginfo_t ended{};
    const bool timedOut =
        waitid(P_PIDFD, id_t(decoder.pidfd.get()), &ended, WEXITED | WNOHANG) != 0 ||
        ended.si_pid == 0;
    if (timedOut) {
        kill(decoder.pid, SIGKILL);
        waitid(P_PIDFD, id_t(decoder.pidfd.get()), &ended, WEXITED);
    }
    // The next decoder gets ready while this answer is read and shown.
    if (warm) startStandby();
    if (timedOut) return fault(LoadText::DecoderTimedOut);
    if (ended.si_code == CLD_EXITED && ended.si_status == 0)
        return readAnswer(answer.get(), maxSize, options_.decodeLimitBytes);
    if (exhaustedMemory(answer.get())) return refused(loaderStatusText(OutOfMemory));
    return fault(LoadText::DecoderFailed);
}

void SandboxedLoader::keepWarm(bool keep) {
    warm = keep;
    if (!keep) stopStandby();
}

} // namespace kamsulo::imaging
