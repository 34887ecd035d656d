#include "imaging/load/SandboxedLoader.h"

#include "imaging/ImagingStatus.h"
#include "imaging/load/DecodeAnswer.h"
#include "imaging/load/LoadTexts.h"

#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

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
    const QByteArray path = QFile::encodeName(decoderPath());
    const Fd answer(memfd_create("kamsulo-answer", MFD_CLOEXEC));
    const Fd input(fcntl(inputFd, F_DUPFD_CLOEXEC, HighFd));
    const Fd answerHigh(fcntl(answer.get(), F_DUPFD_CLOEXEC, HighFd));
    if (path.isEmpty() || !answer.valid() || !input.valid() || !answerHigh.valid())
        return fault(LoadText::DecoderMissing);

    const int timeout = timeoutMs();
    const QByteArray args[] = {
        QByteArray::number(int(branch)),
        QByteArray::number(maxSize.isValid() ? maxSize.width() : INT_MAX),
        QByteArray::number(maxSize.isValid() ? maxSize.height() : INT_MAX),
        QByteArray::number(options_.decodeLimitBytes),
        QByteArray::number(qint64(getpid())),
        QByteArray::number(timeout),
        QByteArray::number(int(drawing)),
    };
    char* argv[] = {const_cast<char*>(path.constData()),
                    const_cast<char*>(args[0].constData()),
                    const_cast<char*>(args[1].constData()),
                    const_cast<char*>(args[2].constData()),
                    const_cast<char*>(args[3].constData()),
                    const_cast<char*>(args[4].constData()),
                    const_cast<char*>(args[5].constData()),
                    const_cast<char*>(args[6].constData()),
                    nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.get(), DecoderInputFd);
    posix_spawn_file_actions_adddup2(&actions, answerHigh.get(), DecoderAnswerFd);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return fault(LoadText::DecoderMissing);

    const Fd pidfd(int(syscall(SYS_pidfd_open, pid, 0)));
    if (!pidfd.valid()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return fault(LoadText::DecoderFailed);
    }
    wait_(DecoderProcess{pid, pidfd.get(), timeout});

    siginfo_t ended{};
    if (waitid(P_PIDFD, id_t(pidfd.get()), &ended, WEXITED | WNOHANG) != 0 || ended.si_pid == 0) {
        kill(pid, SIGKILL);
        waitid(P_PIDFD, id_t(pidfd.get()), &ended, WEXITED);
        return fault(LoadText::DecoderTimedOut);
    }
    if (ended.si_code == CLD_EXITED && ended.si_status == 0)
        return readAnswer(answer.get(), maxSize, options_.decodeLimitBytes);
    if (exhaustedMemory(answer.get())) return refused(loaderStatusText(OutOfMemory));
    return fault(LoadText::DecoderFailed);
}

} // namespace kamsulo::imaging
