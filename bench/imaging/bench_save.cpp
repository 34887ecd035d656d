// Times ImageWriter in-process on the benchmark pictures: GIF through the octree,
// PNG 24-bit, JPEG at 85 and BMP 24-bit. The pictures come from
// $KAMSULO_BENCH_DATA, else ../shared/bench-data beside the source tree; the
// files go to $KAMSULO_BENCH_OUT, else /tmp. Every timed save writes a new file.
// After the timings it writes one file of each kind per picture into the output
// folder (bench-<picture>.<ext>) for the peer script to compare.
#include "imaging/AtomicFile.h"
#include "imaging/BmpWriter.h"
#include "imaging/GifWriter.h"
#include "imaging/ImageWriter.h"
#include "imaging/PixelConversion.h"
#include "imaging/PngWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

using kamsulo::imaging::ImageWriter;

namespace {

QString dataFolder() {
    const QByteArray env = qgetenv("KAMSULO_BENCH_DATA");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return QStringLiteral(KAMSULO_SOURCE_DIR "/../shared/bench-data");
}

QString outFolder() {
    const QByteArray env = qgetenv("KAMSULO_BENCH_OUT");
    return env.isEmpty() ? QStringLiteral("/tmp") : QString::fromLocal8Bit(env);
}

const QImage& picture(const std::string& name) {
    static std::map<std::string, QImage> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        QImage image(dataFolder() + QLatin1Char('/') + QString::fromStdString(name) +
                     QStringLiteral(".png"));
        it = cache.emplace(name, image.convertToFormat(QImage::Format_RGB32)).first;
    }
    return it->second;
}

enum Kind { Gif, Png, Jpeg, Bmp };
const char* const extensions[] = {"gif", "png", "jpg", "bmp"};

bool saveOnce(ImageWriter& writer, const QImage& image, Kind kind, const QString& file) {
    switch (kind) {
    case Gif:
        return writer.saveGif(image, file);
    case Png:
        return writer.savePng(image, file);
    case Jpeg:
        return writer.saveJpeg(image, file, 85);
    case Bmp:
        return writer.saveBmp(image, file);
    }
    return false;
}

void BM_Save(benchmark::State& state, std::string name, Kind kind) {
    const QImage& image = picture(name);
    if (image.isNull()) {
        state.SkipWithError("picture not found");
        return;
    }
    ImageWriter writer;
    const QString file = outFolder() + QStringLiteral("/bench-run-%1.%2")
                                           .arg(QString::fromStdString(name))
                                           .arg(QLatin1String(extensions[kind]));
    for (auto _ : state) {
        // Each save makes a new file, as the save dialog's saves do; removing the
        // previous one is not timed.
        state.PauseTiming();
        QFile::remove(file);
        state.ResumeTiming();
        if (!saveOnce(writer, image, kind, file)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(file).size());
    QFile::remove(file);
}

// The steps of a save on their own: octree quantisation, encoding.
void BM_Step(benchmark::State& state, std::string name, int step) {
    using namespace kamsulo::imaging;
    const QImage& image = picture(name);
    if (image.isNull()) {
        state.SkipWithError("picture not found");
        return;
    }
    const Picture pic(image);
    const Bitmap rows = Bitmap::viewOf(pic);
    PixelConversion conversion;
    Bitmap indexed;
    conversion.toOctreePalette(pic, indexed);
    const QString file = outFolder() + QStringLiteral("/bench-step.out");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(file);
        state.ResumeTiming();
        Bitmap b;
        switch (step) {
        case 0:
            conversion.toOctreePalette(pic, b);
            break;
        case 1: {
            AtomicFile f(file);
            f.open();
            writeGif(indexed, f);
            f.commit();
            break;
        }
        case 2: {
            AtomicFile f(file);
            f.open();
            writeBmp(rows, f);
            f.commit();
            break;
        }
        case 3: {
            AtomicFile f(file);
            f.open();
            writePng(rows, f);
            f.commit();
            break;
        }
        case 4: {
            OctreeQuantizer tree;
            tree.buildFrom32(rows.data(), rows.stride(), rows.width(), rows.height(), 256, 8);
            benchmark::DoNotOptimize(tree);
            break;
        }
        }
        benchmark::DoNotOptimize(b);
    }
    QFile::remove(file);
}

void keepOutputs() {
    ImageWriter writer;
    for (const char* name : {"ref-1080", "ref-2160", "photo-1080"}) {
        const QImage& image = picture(name);
        if (image.isNull()) continue;
        for (Kind kind : {Gif, Png, Jpeg, Bmp})
            saveOnce(writer, image, kind,
                     outFolder() + QStringLiteral("/bench-%1.%2")
                                       .arg(QLatin1String(name))
                                       .arg(QLatin1String(extensions[kind])));
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (const char* name : {"ref-1080", "ref-2160", "photo-1080"}) {
        const std::string n = name;
        benchmark::RegisterBenchmark((std::string("gif/") + n).c_str(), BM_Save, n, Gif)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("png/") + n).c_str(), BM_Save, n, Png)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("jpeg85/") + n).c_str(), BM_Save, n, Jpeg)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("bmp/") + n).c_str(), BM_Save, n, Bmp)
            ->Unit(benchmark::kMillisecond);
    }
    const char* steps[] = {"step-octree", "step-write-gif", "step-write-bmp", "step-write-png",
                           "step-octree-build"};
    for (int step = 0; step < 5; ++step)
        benchmark::RegisterBenchmark((std::string(steps[step]) + "/ref-1080").c_str(), BM_Step,
                                     std::string("ref-1080"), step)
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (qEnvironmentVariableIsSet("KAMSULO_BENCH_KEEP")) keepOutputs();
    return 0;
}
