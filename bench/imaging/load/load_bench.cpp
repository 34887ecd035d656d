// Times the image loader, or measures the peak memory of one load.
//   bench_imaging_load serve [sandboxed|ahead]
//                                         loads each file named on a line of stdin and
//                                         answers with the time it took in ms: in
//                                         process, in a decoder process started for it,
//                                         or in one started ahead on the file as for a
//                                         file given at start (given a pause first, the
//                                         time the window takes to come up, which is
//                                         not counted)
//   bench_imaging_load peak WARMUP FILE   idle and peak resident bytes of one load of
//                                         FILE after one load of WARMUP, and its size
#include "imaging/load/ImageLoader.h"
#include "imaging/load/SandboxedLoader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

using kamsulo::imaging::ImageLoader;
using kamsulo::imaging::LoadResult;
using kamsulo::imaging::SandboxedLoader;

namespace {

// About what the main window takes to come up while the decode started ahead runs.
constexpr auto WindowPause = std::chrono::milliseconds(100);

long long statusKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    const QRegularExpression line(QLatin1String(key) + QStringLiteral(":\\s+(\\d+) kB"));
    return line.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
}

bool loaded(const LoadResult& result, const char* file) {
    if (!result.picture.isNull()) return true;
    std::fprintf(stderr, "%s: %s\n", file, qPrintable(result.errorText));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const ImageLoader loader;
    const bool ahead = argc == 3 && std::strcmp(argv[2], "ahead") == 0;
    const bool sandboxed = ahead || (argc == 3 && std::strcmp(argv[2], "sandboxed") == 0);
    if ((argc == 2 || sandboxed) && std::strcmp(argv[1], "serve") == 0) {
        SandboxedLoader sandbox;
        char line[4096];
        while (std::fgets(line, sizeof line, stdin)) {
            line[std::strcspn(line, "\n")] = '\0';
            const QString file = QString::fromLocal8Bit(line);
            if (ahead) {
                sandbox.startAhead(file);
                std::this_thread::sleep_for(WindowPause);
            }
            QElapsedTimer timer;
            timer.start();
            const LoadResult result = sandboxed ? sandbox.load(file) : loader.load(file);
            const double ms = timer.nsecsElapsed() / 1e6;
            if (!loaded(result, line)) return 1;
            std::printf("%.3f\n", ms);
            std::fflush(stdout);
        }
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "peak") == 0) {
        if (!loaded(loader.load(QString::fromLocal8Bit(argv[2])), argv[2])) return 1;
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) return 1;
        clear.close();
        const long long idle = statusKb("VmRSS");
        const LoadResult result = loader.load(QString::fromLocal8Bit(argv[3]));
        const long long peak = statusKb("VmHWM");
        if (!loaded(result, argv[3])) return 1;
        std::printf("%lld %lld %d %d\n", idle * 1024, peak * 1024, result.picture.width(),
                    result.picture.height());
        return 0;
    }
    std::fprintf(stderr, "usage: %s serve [sandboxed] | peak WARMUP FILE\n", argv[0]);
    return 2;
}
