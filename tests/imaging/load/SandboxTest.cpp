// The decoder process: it decodes every kind of file as the loader does in process,
// runs walled in while it decodes, and a decoder that is killed, too slow or too hungry
// costs a German message.
#include "imaging/load/decoder/Sandbox.h"
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
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kamsulo::imaging;
using namespace kamsulo::imaging::test;
namespace decoder = kamsulo::imaging::decoder;

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

enum class Start { ForThePicture, Ahead };

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
// picture and from one that started on the file ahead.
TEST(Sandbox, DecodesLikeTheLoaderInProcess) {
    QTemporaryDir dir;
    const QByteArray png = contents(sample("rgb.png"));
    const QString cut = writeFile(dir, "cut.png", png.left(png.size() / 2));
    const ImageLoader inProcess;
    SandboxedLoader sandboxed;
    for (const Start start : {Start::ForThePicture, Start::Ahead}) {
        for (const QString& file :
             {sample("rgb.png"), sample("alpha.png"), sample("interlaced.png"), sample("rle8.rle"),
              sample("palette.gif"), sample("lzw.tiff"), sample("photo.jpeg"), sample("icon.ico"),
              sample("rect.wmf"), sample("picture.emf"), sample("pstoedit.emf"), cut,
              sample("bomb.wmf"), dir.filePath("missing.png")}) {
            const LoadResult expected = inProcess.load(file, LargestPicture);
            if (start == Start::Ahead) sandboxed.startAhead(file, LargestPicture);
            const LoadResult result = sandboxed.load(file, LargestPicture);
            const std::string name = file.toStdString();
            EXPECT_EQ(result.errorText, expected.errorText) << name;
            EXPECT_EQ(result.tooLarge, expected.tooLarge) << name;
            EXPECT_FALSE(result.decoderFault) << name;
            EXPECT_EQ(result.picture, expected.picture) << name << int(start);
        }
        EXPECT_EQ(sandboxed.decode(png).picture, inProcess.load(sample("rgb.png")).picture);
        EXPECT_TRUE(sandboxed.decode("plain words").picture.isNull());
    }
}

// A decode started ahead and taken, one ended by the load of another file, one ended by
// another start ahead, and a refusal: each decoder is reaped by the load that ends it, so
// that none is left, not even as a zombie, once the load returns.
TEST(Sandbox, NoDecoderIsLeftBehind) {
    SandboxedLoader loader;
    loader.startAhead(sample("rgb.png"), LargestPicture);
    EXPECT_EQ(decoderProcesses(), 1);
    EXPECT_FALSE(loader.load(sample("rgb.png"), LargestPicture).picture.isNull());
    EXPECT_EQ(decoderProcesses(), 0);
    loader.startAhead(sample("rgb.png"), LargestPicture);
    loader.startAhead(sample("photo.jpeg"), LargestPicture);
    EXPECT_EQ(decoderProcesses(), 1);
    EXPECT_FALSE(loader.load(sample("alpha.png"), LargestPicture).picture.isNull());
    EXPECT_TRUE(loader.decode("plain words").picture.isNull());
    EXPECT_EQ(decoderProcesses(), 0);
}

// While it decodes, the decoder runs under its seccomp filter and with a finite address
// space; killed then, it costs the German message and nothing else.
TEST(Sandbox, AKilledDecoderIsAMessage) {
    QString seccomp, addressSpace;
    SandboxedLoader killing([&](const DecoderProcess& process) {
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

namespace {

enum class Answer { Allowed, Refused };

// Runs `call` in a child behind the decoder's walls, with a pipe's write end as the
// decoder has its done pipe: Allowed when it succeeded, Refused when it failed or the
// filter ended the child.
Answer behindTheWalls(const std::function<bool(int pipe)>& call) {
    const pid_t child = fork();
    if (child == 0) {
        int ends[2];
        if (pipe(ends) != 0 || !decoder::enterSandbox({RLIM_INFINITY, 60})) _exit(3);
        _exit(call(ends[1]) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "no walls";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Answer::Allowed : Answer::Refused;
}

bool ok(long result) {
    return result >= 0;
}

} // namespace

// Behind its walls the decoder may ask about itself and duplicate its descriptors, but
// reach no other process, look up no name and make no memory executable.
TEST(Sandbox, TheWallsKeepTheDecoderToItself) {
    const pid_t program = getpid();
    const auto limits = [](pid_t pid) {
        return [pid](int) {
            rlimit64 now{};
            return ok(syscall(SYS_prlimit64, pid, RLIMIT_FSIZE, nullptr, &now));
        };
    };
    const auto affinity = [](pid_t pid) {
        return [pid](int) {
            cpu_set_t set;
            return ok(sched_getaffinity(pid, sizeof set, &set));
        };
    };
    const auto memory = [](int protection) {
        return [protection](int) {
            return mmap(nullptr, 4096, protection, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) !=
                   MAP_FAILED;
        };
    };
    struct Case {
        const char* what;
        std::function<bool(int)> call;
        Answer expected;
    } const cases[] = {
        {"prlimit64 of itself", limits(0), Answer::Allowed},
        {"prlimit64 of the program", limits(program), Answer::Refused},
        {"sched_getaffinity of itself", affinity(0), Answer::Allowed},
        {"sched_getaffinity of the program", affinity(program), Answer::Refused},
        {"a thread's attributes, affinity included",
         [](int) {
             bool answered = false;
             std::thread([&answered] {
                 pthread_attr_t attributes;
                 answered = pthread_getattr_np(pthread_self(), &attributes) == 0;
             }).join();
             return answered;
         },
         Answer::Allowed},
        {"sched_getparam of the program",
         [program](int) {
             sched_param param{};
             return ok(sched_getparam(program, &param));
         },
         Answer::Refused},
        {"sched_getscheduler of the program",
         [program](int) { return ok(sched_getscheduler(program)); }, Answer::Refused},
        {"F_DUPFD_CLOEXEC", [](int fd) { return ok(fcntl(fd, F_DUPFD_CLOEXEC, 0)); },
         Answer::Allowed},
        {"F_GETFD", [](int fd) { return ok(fcntl(fd, F_GETFD)); }, Answer::Allowed},
        {"F_SETOWN", [program](int fd) { return ok(fcntl(fd, F_SETOWN, program)); },
         Answer::Refused},
        {"F_SETSIG", [](int fd) { return ok(fcntl(fd, F_SETSIG, SIGKILL)); }, Answer::Refused},
        {"F_SETFL O_ASYNC", [](int fd) { return ok(fcntl(fd, F_SETFL, O_ASYNC)); },
         Answer::Refused},
        {"F_SETPIPE_SZ", [](int fd) { return ok(fcntl(fd, F_SETPIPE_SZ, 1 << 16)); },
         Answer::Refused},
        {"F_SETLK",
         [](int fd) {
             struct flock lock {};
             lock.l_type = F_WRLCK;
             return ok(fcntl(fd, F_SETLK, &lock));
         },
         Answer::Refused},
        {"fstat of a descriptor",
         [](int fd) {
             struct stat st {};
             return ok(fstat(fd, &st)) && S_ISFIFO(st.st_mode);
         },
         Answer::Allowed},
        {"stat of a name",
         [](int) {
             struct stat st {};
             return ok(stat("/etc/passwd", &st));
         },
         Answer::Refused},
        {"statx of a name",
         [](int) {
             struct statx st {};
             return ok(statx(AT_FDCWD, "/etc/passwd", 0, STATX_BASIC_STATS, &st));
         },
         Answer::Refused},
        {"memory to read and write", memory(PROT_READ | PROT_WRITE), Answer::Allowed},
        {"executable memory", memory(PROT_READ | PROT_EXEC), Answer::Refused},
        {"memory made executable",
         [](int) {
             void* page = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
             return page != MAP_FAILED && ok(mprotect(page, 4096, PROT_READ | PROT_EXEC));
         },
         Answer::Refused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(behindTheWalls(c.call), c.expected) << c.what;
}

namespace {

// The names of the variables in /proc/PID/environ.
QStringList environmentNames(pid_t pid) {
    QFile file(QStringLiteral("/proc/%1/environ").arg(pid));
    QStringList names;
    if (!file.open(QIODevice::ReadOnly)) return {QStringLiteral("(unreadable)")};
    for (const QByteArray& entry : file.readAll().split('\0'))
        if (!entry.isEmpty()) names << QString::fromLocal8Bit(entry.left(entry.indexOf('=')));
    return names;
}

} // namespace

// The decoder starts with nothing of the program's but its picture: no terminal, none of
// the program's environment, signals or process group.
TEST(Sandbox, TheDecoderStartsWithNothingOfTheProgram) {
    qputenv("KAMSULO_PRIVATE", "not for the decoder");
    sigset_t blocked, before;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &blocked, &before);
    const auto ignoredBefore = signal(SIGUSR2, SIG_IGN);
    QStringList terminal, names;
    QString blockedSignals, ignoredSignals;
    pid_t group = 0;
    SandboxedLoader looking([&](const DecoderProcess& process) {
        for (int fd = 0; fd <= 2; ++fd)
            terminal << QFile::symLinkTarget(
                QStringLiteral("/proc/%1/fd/%2").arg(process.pid).arg(fd));
        names = environmentNames(process.pid);
        blockedSignals = procValue(process.pid, "status", QStringLiteral("SigBlk:"));
        ignoredSignals = procValue(process.pid, "status", QStringLiteral("SigIgn:"));
        group = getpgid(process.pid);
        pollfd done{process.doneFd, POLLIN, 0};
        poll(&done, 1, process.timeoutMs);
    });
    EXPECT_FALSE(looking.load(sample("rgb.png"), LargestPicture).picture.isNull());
    signal(SIGUSR2, ignoredBefore);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    qunsetenv("KAMSULO_PRIVATE");
    EXPECT_EQ(terminal, QStringList(3, QStringLiteral("/dev/null")));
    EXPECT_FALSE(names.contains(QStringLiteral("KAMSULO_PRIVATE")))
        << names.join(' ').toStdString();
    EXPECT_FALSE(names.contains(QStringLiteral("PATH")));
    EXPECT_EQ(blockedSignals, QStringLiteral("0000000000000000"));
    // The C library's own two real-time signals above 31 are its business.
    EXPECT_EQ(ignoredSignals.toULongLong(nullptr, 16) & 0x7fffffff, 0u)
        << ignoredSignals.toStdString();
    EXPECT_NE(group, getpgrp());
}
