// Time of one full-screen capture into the canvas's picture, without the pauses
// that take the main window out of the way. Prints the median in milliseconds.
#include "capture/CaptureHost.h"
#include "capture/ScreenCapture.h"
#include "platform/ScreenGrabber.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct CanvasHost : kamsulo::capture::CaptureHost {
    QImage picture, copy;
    void handOverCapture(const QImage& p) override {
        picture = p;
        copy = picture; // the backups share the pixels, as the canvas's do
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 60;
    CanvasHost host;
    kamsulo::capture::ScreenCapture capture(&host, kamsulo::platform::screenGrabber());
    host.handOverCapture(capture.captureScreen().picture); // warm-up: connection and shared memory
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        host.handOverCapture(capture.captureScreen().picture);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%dx%d %.3f\n", host.picture.width(), host.picture.height(), ms[ms.size() / 2]);
    return 0;
}
