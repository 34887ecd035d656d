// Drives 1000 mouse moves over a region overlay on a 3840x2160 frozen screen and
// prints the median and 99th-percentile cost of a move, including the repaint of
// what the move exposed, once as the overlay does it and once with a full repaint
// after every move for comparison. Runs offscreen unless QT_QPA_PLATFORM is set.
#include "capture/region/RegionHost.h"
#include "capture/region/RegionOverlay.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace kamsulo::capture;

namespace {

class NullHost : public RegionHost {
public:
    void clearCanvasPicture() override {}
    void handOverPicture(const QImage&) override {}
    void showMainWindowNormal() override {}
    void resetScrollBars() override {}
    void updateCanvasToolTip() override {}
};

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(e)->region())
                pixels += qint64(r.width()) * r.height();
        }
        return false;
    }
    long paints = 0;
    qint64 pixels = 0;
};

QImage frozenScreen(const QSize& size) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x * 7 & 0xff, y * 3 & 0xff, (x ^ y) & 0xff);
    }
    return img;
}

void send(QWidget* w, QEvent::Type type, QPointF pos) {
    QMouseEvent e(type, pos, pos, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

struct Figures {
    double median = 0, p99 = 0;
    double pixelsPerMove = 0;
};

Figures run(const QImage& frozen, bool fullRepaint, int moves) {
    NullHost host;
    auto* overlay = new RegionOverlay(host, frozen, QRect(QPoint(0, 0), frozen.size()));
    overlay->setAttribute(Qt::WA_DeleteOnClose, false);
    overlay->show();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(overlay, QEvent::UpdateRequest);

    PaintCounter counter;
    send(overlay, QEvent::MouseButtonPress, QPointF(200, 150));
    QCoreApplication::sendPostedEvents(overlay, QEvent::UpdateRequest);
    overlay->installEventFilter(&counter);

    std::vector<double> ms;
    ms.reserve(moves);
    const int warmUp = 50;
    for (int i = 0; i < moves + warmUp; ++i) {
        const QPointF pos(200 + 3 * (i % 1100), 150 + 2 * (i % 1000));
        const auto t0 = std::chrono::steady_clock::now();
        send(overlay, QEvent::MouseMove, pos);
        if (fullRepaint) overlay->update();
        QCoreApplication::sendPostedEvents(overlay, QEvent::UpdateRequest);
        const auto t1 = std::chrono::steady_clock::now();
        if (i >= warmUp) ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    overlay->removeEventFilter(&counter);
    delete overlay;

    std::sort(ms.begin(), ms.end());
    Figures f;
    f.median = ms[ms.size() / 2];
    f.p99 = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    f.pixelsPerMove = double(counter.pixels) / (moves + warmUp);
    if (counter.paints == 0) std::fprintf(stderr, "warning: no paint events were seen\n");
    return f;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kamsulo::platform::setTwipsPerPixelOverride(15);

    const int moves = 1000;
    const QImage frozen = frozenScreen(QSize(3840, 2160));
    const Figures partial = run(frozen, false, moves);
    const Figures full = run(frozen, true, moves);

    std::printf("region overlay, %d moves over 3840x2160 (%s)\n", moves,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  strips and label:  median %.3f ms  p99 %.3f ms  %.0f px painted per move\n",
                partial.median, partial.p99, partial.pixelsPerMove);
    std::printf("  full repaint:      median %.3f ms  p99 %.3f ms  %.0f px painted per move\n",
                full.median, full.p99, full.pixelsPerMove);
    std::printf("  ratio (full / strips, median): %.1f\n",
                partial.median > 0 ? full.median / partial.median : 0.0);
    return partial.median < 1.0 ? 0 : 1;
}
