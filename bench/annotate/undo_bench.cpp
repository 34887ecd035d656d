// Puts a 3840x2160 picture on a canvas, draws ten markings (each with its snapshot)
// and undoes five; prints the peak resident memory and the time per snapshot and
// per undo. Goal: peak RSS below three times the picture plus the idle RSS.
#include "annotate/ArrowGeometry.h"
#include "annotate/CanvasSurface.h"
#include "annotate/UndoRing.h"

#include <QImage>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

using namespace kamsulo::annotate;
using Clock = std::chrono::steady_clock;

namespace {
long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
    return -1;
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void mark(CanvasSurface& s, int i) {
    const double x = 300 * 15 + i * 250 * 15;
    const double y = 200 * 15 + i * 150 * 15;
    s.setPenColor(0x0000FF ^ (i * 0x102030));
    s.setPenWidth(2 + i % 4);
    switch (i % 3) {
    case 0:
        s.box(x, y, x + 200 * 15, y + 120 * 15, s.penColor());
        break;
    case 1:
        s.dot(x, y);
        for (int k = 1; k <= 40; ++k)
            s.lineTo(x + k * 60, y + (k % 5) * 90);
        break;
    default:
        s.setFillStyle(FillStyle::Solid);
        s.setFillColor(s.penColor());
        drawFilledArrow(s, int(x + 3000), int(y + 1500), int(x), int(y), 200);
        s.setFillStyle(FillStyle::Transparent);
        s.setFillColor(0);
        break;
    }
}
} // namespace

int main() {
    const long idleKb = statusKb("VmHWM");
    CanvasSurface surface;
    surface.setTwipsPerPixel(15, 15);
    UndoRing ring;
    {
        QImage picture(3840, 2160, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<quint32*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                line[x] = 0xFF000000u | quint32((x * 7) ^ (y * 13)) * 2654435761u >> 8;
        }
        surface.setPicture(picture);
    }
    const long pictureKb = long(surface.image().sizeInBytes() / 1024);

    const auto h0 = Clock::now();
    ring.handOver(surface.image());
    ring.copyHandOver(); // the copies, made once the picture is shown
    const auto handOver = Clock::now() - h0;

    Clock::duration snapTotal{}, undoTotal{};
    for (int i = 0; i < 10; ++i) {
        const auto t0 = Clock::now();
        ring.takeUndoSnapshot(surface.image());
        snapTotal += Clock::now() - t0;
        mark(surface, i);
    }
    for (int i = 0; i < 5; ++i) {
        const auto t0 = Clock::now();
        ring.undo(surface.image(), true);
        undoTotal += Clock::now() - t0;
    }

    const long peakKb = statusKb("VmHWM");
    const long budgetKb = idleKb + 3 * pictureKb;
    std::printf("picture               %ld KiB (3840x2160 RGB32)\n", pictureKb);
    std::printf("idle peak RSS         %ld KiB\n", idleKb);
    std::printf("peak RSS              %ld KiB (above idle: %.2f pictures)\n", peakKb,
                double(peakKb - idleKb) / double(pictureKb));
    std::printf("copies held           %lld KiB in tiles\n",
                static_cast<long long>(ring.memoryBytes() / 1024));
    std::printf("hand-over             %.2f ms\n", ms(handOver));
    std::printf("snapshot              %.2f ms each (10)\n", ms(snapTotal) / 10);
    std::printf("undo                  %.2f ms each (5)\n", ms(undoTotal) / 5);
    std::printf("goal peak < idle + 3 x picture = %ld KiB: %s\n", budgetKb,
                peakKb < budgetKb ? "met" : "MISSED");
    return peakKb < budgetKb ? 0 : 1;
}
